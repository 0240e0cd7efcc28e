#pragma once
// A carrier of commands beside the frame's own and the views': the frame
// asks its handlers, in the order they were added, before the view in
// front. takes() is the contract: a handler that takes a command carries it
// out and nothing else is asked.

namespace qm::ui {

class command_handler {
public:
    virtual ~command_handler() = default;
    // The command is this handler's (whether or not it can be done now).
    virtual bool takes(int id) const = 0;
    // It can be done now; its menu item and key are enabled.
    virtual bool enabled(int id) const { (void)id; return true; }
    virtual void carry_out(int id) = 0;
};

}  // namespace qm::ui
