#pragma once
// The Day view's schedule pane: the date's day against a clock, with the
// sleeping and working hours, the appointments, the tracked times and the
// placed blocks, late ones in a warning style. A click on a block selects
// its task; the tooltip says why the block lies where it does.

#include "schedule/schedule_store.h"

#include <QScrollArea>

namespace qm::ui {

class schedule_canvas;

class schedule_pane : public QScrollArea, public store::listener {
    Q_OBJECT
public:
    schedule_pane(schedule::schedule_store& schedule, model::task_store& tasks, QWidget* parent = nullptr);
    ~schedule_pane() override;

    void set_date(time::stored_date date);
    time::stored_date date() const { return date_; }
    // The blocks shown, in schedule order.
    const std::vector<schedule::stored_block>& shown() const { return shown_; }
    // 30 minutes before working start at the top.
    void scroll_to_working_start();
    // Why a block lies where it does, in words.
    QString reason_text(const schedule::stored_block& b) const;

    long on_announcement(const store::announcement& a) override;

signals:
    void task_clicked(std::int32_t task_id);

private:
    friend class schedule_canvas;
    void reload();

    schedule::schedule_store& schedule_;
    model::task_store& tasks_;
    schedule_canvas* canvas_ = nullptr;
    time::stored_date date_ = 0;
    std::vector<schedule::stored_block> shown_;
};

}  // namespace qm::ui
