#pragma once
// How a search shows itself in the window: the wait cursor while it runs, a
// progress display with a Cancel button during an address scan, and the
// window's values redrawn at the points where the search has news.

namespace corvel {

enum class SearchKind { PortScan, AddressScan };

class SearchFeedback {
public:
    virtual ~SearchFeedback() = default;
    virtual void searchStarted(SearchKind kind) = 0;
    virtual void searchStopped() = 0;
    virtual void showValues() = 0;
    // Whether the operator cancelled the address scan now running.
    virtual bool searchCancelled() const = 0;
};

}  // namespace corvel
