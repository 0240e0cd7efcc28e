#pragma once
// Message boxes behind a small interface: the user interface installs a
// presenter that shows real boxes; headless runs print to standard error and
// tests record the texts.

#include <QString>

#include <memory>

namespace qm::app {

class message_presenter {
public:
    virtual ~message_presenter() = default;
    // Shows a modal error box and returns once the user has dismissed it.
    // May be called from any thread.
    virtual void show_error(const QString& caption, const QString& text) = 0;
};

// Installs the process-wide presenter; nullptr restores the standard-error one.
void set_message_presenter(std::shared_ptr<message_presenter> presenter);
void show_error_message(const QString& caption, const QString& text);

}  // namespace qm::app

namespace qm::app {

// Set while the main thread waits for the writer to drain, so that a failure
// reported from the writer's thread does not wait for the main thread.
void set_main_thread_blocked(bool blocked);
bool main_thread_blocked();

}  // namespace qm::app
