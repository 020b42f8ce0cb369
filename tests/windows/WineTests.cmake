# Running the Windows test executables under Wine: one private Wine prefix in
# the build folder, made once before the first test (a fixture), so that
# tests never touch the user's own prefix and never race to create it.
set(CORVEL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(CORVEL_WINE_ENVIRONMENT "WINEPREFIX=${CORVEL_WINEPREFIX};WINEDEBUG=-all")
set(CORVEL_WINE_RUNNER ${CMAKE_CURRENT_LIST_DIR}/run_under_wine.sh)

add_test(NAME wine_prefix COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} cmd /c exit)
set_tests_properties(wine_prefix PROPERTIES ENVIRONMENT "${CORVEL_WINE_ENVIRONMENT}"
                                            FIXTURES_SETUP wine TIMEOUT 300)

# A test executable run under Wine with the private prefix and a pair of
# joined serial lines.
function(corvel_emulated_test name)
  cmake_parse_arguments(ARG "" "" "ENV" ${ARGN})
  add_test(NAME ${name} COMMAND bash ${CORVEL_WINE_RUNNER} ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${CORVEL_WINE_ENVIRONMENT};${ARG_ENV}"
                                          FIXTURES_REQUIRED wine TIMEOUT 600)
endfunction()

# corvelctl.exe against the Linux simulator, when a Linux build of the
# simulator and of corvelctl is named (CORVEL_HOST_BUILD, a build folder).
set(CORVEL_HOST_BUILD "" CACHE PATH "A Linux build folder with corvel-sim and corvelctl, for the end-to-end test")
if(CORVEL_HOST_BUILD)
  add_test(NAME corvelctl_under_wine
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/corvelctl_under_wine.sh ${CMAKE_CROSSCOMPILING_EMULATOR}
                   $<TARGET_FILE:corvelctl> ${CORVEL_HOST_BUILD}/sim/corvel-sim ${CORVEL_HOST_BUILD}/cli/corvelctl)
  set_tests_properties(corvelctl_under_wine PROPERTIES ENVIRONMENT "${CORVEL_WINE_ENVIRONMENT}"
                                                       FIXTURES_REQUIRED wine TIMEOUT 300)
endif()
