#include "link/port_permission.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvel {
namespace {

TEST(PortPermissionHint, NamesTheOwningGroupTheCommandAndTheNewLogin) {
    const std::string hint = PortPermissionHint({"/dev/ttyUSB0", "dialout", true});
    EXPECT_NE(hint.find("/dev/ttyUSB0"), std::string::npos);
    EXPECT_NE(hint.find("group \"dialout\""), std::string::npos);
    EXPECT_NE(hint.find("sudo usermod -aG dialout $USER"), std::string::npos);
    EXPECT_NE(hint.find("next login"), std::string::npos);
}

TEST(PortPermissionHint, SendsToTheAdministratorWhenNoGroupGrantsAccess) {
    // Joining root, or a group whose bits give nothing, would not help.
    for (const DeniedPort& port : {DeniedPort{"/dev/ttyS0", "root", true}, DeniedPort{"/dev/ttyS0", "dialout", false},
                                   DeniedPort{"/dev/ttyS0", "", false}}) {
        const std::string hint = PortPermissionHint(port);
        EXPECT_EQ(hint.find("usermod"), std::string::npos) << port.group;
        EXPECT_NE(hint.find("administrator"), std::string::npos) << port.group;
    }
}

TEST(PortPermissionListener, HintIsGivenOncePerRunAndEveryDenialCounts) {
    std::vector<std::string> shown;
    const std::uint64_t before = PortPermissionDenials();
    {
        const ScopedPortPermissionListener listener(
            HintOncePerRun([&shown](const std::string& hint) { shown.push_back(hint); }));
        ReportPortPermissionDenied({"/dev/ttyUSB0", "dialout", true});
        ReportPortPermissionDenied({"/dev/ttyUSB1", "dialout", true});
    }
    ReportPortPermissionDenied({"/dev/ttyUSB2", "dialout", true});  // no listener any more

    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("/dev/ttyUSB0"), std::string::npos);
    EXPECT_EQ(PortPermissionDenials(), before + 3);
}

}  // namespace
}  // namespace corvel
