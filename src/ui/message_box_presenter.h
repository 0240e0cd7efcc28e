#pragma once

#include "app/message_box.h"

namespace qm::ui {

// Shows error boxes on the main thread. From another thread the box is shown
// through the main thread's event loop while the caller waits; if the main
// thread is itself waiting for that thread, the text goes to standard error.
class message_box_presenter : public app::message_presenter {
public:
    void show_error(const QString& caption, const QString& text) override;
};

// True when windows can really be shown (not the offscreen or minimal platform).
bool display_available();

}  // namespace qm::ui
