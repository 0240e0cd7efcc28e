#include "ui/clapperboard_window.h"

#include "app/settings_document.h"
#include "time/format.h"
#include "ui/time_spent_panel.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocumentFragment>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace qm::ui {
namespace {

using tracking::input_kind;
using tracking::menu_mode::break_down;

// "N: &New..." as rich text with the letter after "&" underlined.
QString line_html(const QString& text)
{
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) {
            out += QStringLiteral("<u>") + QString(text[i + 1]).toHtmlEscaped() + QStringLiteral("</u>");
            ++i;
        } else {
            out += QString(text[i]).toHtmlEscaped();
        }
    }
    return out;
}

QLabel* bold_label(QWidget* parent)
{
    auto* l = new QLabel(parent);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

}  // namespace

clapperboard_window::clapperboard_window(tracking::action_menu& menu, const model::task_store& store,
                                         const tracking::task_timer& timer,
                                         const tracking::schedule_candidate_source* schedule,
                                         const tracking::alarm_port* const* alarms, QString settings_file,
                                         QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint),
      menu_(menu),
      store_(store),
      timer_(timer),
      schedule_(schedule),
      alarms_(alarms),
      settings_file_(std::move(settings_file))
{
    setWindowTitle(QStringLiteral("Clapperboard"));
    setObjectName(QStringLiteral("clapperboard"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->setSpacing(8);

    header_ = bold_label(this);
    header_->setWordWrap(true);
    layout->addWidget(header_);

    panel_ = new QFrame(this);
    panel_->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(panel_);
    grid->setHorizontalSpacing(16);
    for (int i = 0; i < 4; ++i) {
        auto* caption = bold_label(panel_);
        auto* value = new QLabel(panel_);
        value->setTextFormat(Qt::PlainText);
        grid->addWidget(caption, i * 2, 0);
        grid->addWidget(value, i * 2 + 1, 0);
        boxes_.push_back({caption, value});
    }
    for (int i = 0; i < 3; ++i) {
        auto* caption = bold_label(panel_);
        auto* value = new QLabel(panel_);
        grid->addWidget(caption, i * 2, 1);
        grid->addWidget(value, i * 2 + 1, 1);
        progress_.push_back({caption, value});
    }
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    layout->addWidget(panel_);

    lines_ = new QLabel(this);
    lines_->setTextFormat(Qt::RichText);
    layout->addWidget(lines_);

    line_ = new QLineEdit(this);
    line_->installEventFilter(this);
    connect(line_, &QLineEdit::textEdited, this, [this](const QString& text) { typed(text); });
    layout->addWidget(line_);

    comment_ = new QPlainTextEdit(this);
    comment_->setTabChangesFocus(true);
    comment_->installEventFilter(this);
    layout->addWidget(comment_);

    list_ = new QTreeWidget(this);
    list_->setRootIsDecorated(false);
    list_->setFocusPolicy(Qt::NoFocus);  // the entry keeps the keys; Up and Down move the list
    list_->setMinimumHeight(140);
    connect(list_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (!filling_ && item != nullptr && menu_.input() == input_kind::task_entry)
            menu_.entry().set_current(list_->indexOfTopLevelItem(item));
    });
    layout->addWidget(list_, 1);

    message_ = new QLabel(this);
    message_->setWordWrap(true);
    message_->setStyleSheet(QStringLiteral("color: #b00020;"));
    layout->addWidget(message_);

    hint_ = new QLabel(this);
    hint_->setStyleSheet(QStringLiteral("color: palette(mid);"));
    layout->addWidget(hint_);

    load_columns();
    refresh_timer_.setInterval(refresh_ms);
    connect(&refresh_timer_, &QTimer::timeout, this, [this] { refresh_panel(); });
    setMinimumWidth(480);
    resize(520, 360);
}

clapperboard_window::~clapperboard_window() { save_columns(); }

void clapperboard_window::set_report(time_spent_panel* report)
{
    report_ = report;
    report_->setParent(this);
    report_->setMinimumHeight(300);
    report_->hide();
    auto* box = static_cast<QVBoxLayout*>(layout());
    box->insertWidget(box->indexOf(lines_) + 1, report_, 1);
    menu_.report_available = [] { return true; };
}

void clapperboard_window::load_columns()
{
    const app::settings_document doc = app::settings_document::load(settings_file_);
    for (auto [name, out] : {std::pair{"task_list_columns", &task_columns_},
                             std::pair{"break_down_task_list_columns", &break_down_columns_}}) {
        for (int i = 0; i < 2; ++i) {
            const int w = doc.get_int(QString::fromLatin1(name), QStringLiteral("width %1").arg(i), 0);
            out->push_back(w > 0 ? w : (i == 0 ? 300 : 90));
        }
    }
}

void clapperboard_window::save_columns()
{
    if (list_->columnCount() == 2) {
        std::vector<int>& widths = shown_mode_ == break_down ? break_down_columns_ : task_columns_;
        widths = {list_->columnWidth(0), list_->columnWidth(1)};
    }
    app::settings_document doc = app::settings_document::load(settings_file_);
    for (auto [name, widths] : {std::pair{"task_list_columns", &task_columns_},
                                std::pair{"break_down_task_list_columns", &break_down_columns_}})
        for (std::size_t i = 0; i < widths->size(); ++i)
            doc.set_int(QString::fromLatin1(name), QStringLiteral("width %1").arg(i), (*widths)[i]);
    doc.save(settings_file_);
}

QString clapperboard_window::shown_text() const
{
    QStringList parts{header_->text()};
    if (panel_->isVisible())
        for (const auto& [caption, value] : boxes_)
            if (caption->isVisible())
                parts << caption->text() + QStringLiteral(": ") + value->text();
    parts << QTextDocumentFragment::fromHtml(lines_->text()).toPlainText() << message_->text();
    return parts.join(QLatin1Char('\n'));
}

void clapperboard_window::refresh()
{
    if (!menu_.is_open())
        return;
    const input_kind input = menu_.input();
    const int mode = menu_.mode();
    if (mode != shown_mode_) {
        // Entering a mode: the entry starts empty and each list keeps its own columns.
        if (list_->columnCount() == 2)
            (shown_mode_ == break_down ? break_down_columns_ : task_columns_) = {list_->columnWidth(0),
                                                                                 list_->columnWidth(1)};
        line_->clear();
        comment_->clear();
        shown_mode_ = mode;
        list_->setColumnCount(2);
        list_->setHeaderLabels({QStringLiteral("Task"), mode == break_down ? QStringLiteral("Date")
                                                                           : QStringLiteral("Time Left")});
        const std::vector<int>& widths = mode == break_down ? break_down_columns_ : task_columns_;
        for (int i = 0; i < 2; ++i)
            list_->setColumnWidth(i, widths[static_cast<std::size_t>(i)]);
    }
    const QStringList header = menu_.header();
    header_->setText(header.join(QLatin1Char('\n')));
    header_->setVisible(!header.isEmpty());

    QStringList rows;
    for (const tracking::menu_line* l : menu_.lines())
        rows << line_html(l->text);
    lines_->setText(rows.join(QStringLiteral("<br>")));
    lines_->setVisible(!rows.isEmpty());

    line_->setVisible(input == input_kind::line || input == input_kind::task_entry || input == input_kind::break_down);
    comment_->setVisible(input == input_kind::comment);
    list_->setVisible(input == input_kind::task_entry || input == input_kind::break_down);
    if (input == input_kind::task_entry)
        fill_task_list();
    else if (input == input_kind::break_down)
        fill_break_down_list();

    QString hint;
    switch (input) {
    case input_kind::menu: hint = mode == tracking::menu_mode::idle ? QString() : QStringLiteral("Esc: Back"); break;
    case input_kind::line: hint = QStringLiteral("Enter: OK    Esc: Back"); break;
    case input_kind::task_entry: hint = QStringLiteral("Up, Down: Choose    Enter: OK    Esc: Back"); break;
    case input_kind::comment: hint = QStringLiteral("Ctrl+Enter: Add Comment    Esc: Cancel"); break;
    case input_kind::break_down: hint = QStringLiteral("Enter: Add    Esc: Done"); break;
    case input_kind::report:
        hint = QStringLiteral("Esc: Back");
        break;
    }
    if (report_ != nullptr) {
        const bool was_shown = report_->isVisibleTo(this);
        report_->setVisible(input == input_kind::report);
        if (input == input_kind::report && !was_shown)
            report_->refresh();
    }
    if (input == input_kind::report && !(menu_.report_available && menu_.report_available()))
        lines_->setText(QStringLiteral("The daily report is not available in this version of the planner.")),
            lines_->setVisible(true);
    hint_->setText(hint);
    message_->setText(menu_.message());
    message_->setVisible(!menu_.message().isEmpty());
    refresh_panel();

    if (line_->isVisible())
        line_->setFocus();
    else if (comment_->isVisible())
        comment_->setFocus();
    else
        setFocus();
    if (isVisible())
        refresh_timer_.start();
    adjustSize();
}

void clapperboard_window::refresh_panel()
{
    if (!menu_.is_open()) {
        refresh_timer_.stop();
        return;
    }
    if (menu_.mode() == tracking::menu_mode::idle)
        header_->setText(menu_.header().join(QLatin1Char('\n')));  // the idle period grows
    const tracking::panel_kind kind = menu_.panel();
    const bool timing = timer_.timed_task() != nullptr;
    const bool shown = kind == tracking::panel_kind::all_boxes || kind == tracking::panel_kind::current_task ||
                       (kind == tracking::panel_kind::current_task_while_timing && timing);
    panel_->setVisible(shown);
    if (!shown)
        return;
    const std::vector<tracking::panel_box> boxes =
        tracking::panel_boxes(store_, timer_, schedule_ != nullptr ? *schedule_ : tracking::schedule_candidate_source{},
                              *alarms_, time::now());
    const bool all = kind == tracking::panel_kind::all_boxes;
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        boxes_[i].first->setText(boxes[i].caption);
        boxes_[i].second->setText(boxes[i].line);
        boxes_[i].first->setVisible(all || i == 0);
        boxes_[i].second->setVisible(all || i == 0);
    }
    const std::vector<tracking::progress_row> rows = tracking::progress_rows(store_, timer_);
    for (std::size_t i = 0; i < progress_.size(); ++i) {
        const bool has = i < rows.size();
        progress_[i].first->setText(has ? rows[i].caption : QString());
        progress_[i].second->setText(has ? rows[i].value : QString());
        progress_[i].first->setVisible(has);
        progress_[i].second->setVisible(has);
    }
}

void clapperboard_window::fill_task_list()
{
    filling_ = true;
    list_->clear();
    const tracking::task_entry& entry = menu_.entry();
    for (const model::task_ptr& t : entry.candidates()) {
        const bool pending = t == entry.pending();
        auto* item = new QTreeWidgetItem(list_);
        item->setText(0, pending ? t->name + QStringLiteral("  (new task)") : t->name);
        item->setText(1, t->is_todo() ? time::format_duration(store_.time_left(*t)) : QString());
        if (t->is_finished())
            item->setForeground(0, palette().color(QPalette::Disabled, QPalette::Text));
    }
    if (entry.current() >= 0)
        list_->setCurrentItem(list_->topLevelItem(entry.current()));
    filling_ = false;
}

void clapperboard_window::fill_break_down_list()
{
    list_->clear();
    const auto& tasks = menu_.break_down_tasks();
    for (std::size_t i = 0; i < tasks.size(); ++i) {
        auto* item = new QTreeWidgetItem(list_);
        const bool unnamed = i + 1 == tasks.size() && i > 0 && tasks[i]->name.isEmpty();
        item->setText(0, unnamed ? QStringLiteral("(type the name of the next part)") : tasks[i]->name);
        item->setText(1, time::format_short_date(tasks[i]->date));
        if (i == 0) {
            QFont f = item->font(0);
            f.setBold(true);
            item->setFont(0, f);
        }
    }
    if (list_->topLevelItemCount() > 0)
        list_->setCurrentItem(list_->topLevelItem(list_->topLevelItemCount() - 1));
}

void clapperboard_window::typed(const QString& text)
{
    if (menu_.input() != input_kind::task_entry)
        return;
    tracking::task_entry& entry = menu_.entry();
    entry.set_text(text);
    fill_task_list();
    // Completes the name of the task the list points at; Escape takes it back.
    const model::task_ptr t = entry.current_task();
    if (t && t != entry.pending() && t->name.startsWith(text, Qt::CaseInsensitive) && t->name.size() > text.size() &&
        !text.isEmpty()) {
        line_->setText(text + t->name.mid(text.size()));
        line_->setSelection(static_cast<int>(text.size()), static_cast<int>(t->name.size() - text.size()));
    }
}

bool clapperboard_window::handle_key(QKeyEvent* e)
{
    const input_kind input = menu_.input();
    const int key = e->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (key == Qt::Key_Escape) {
        if (input == input_kind::task_entry && line_->hasSelectedText()) {
            line_->setText(menu_.entry().text());  // the completion goes, the typing stays
        } else if ((input == input_kind::task_entry || input == input_kind::line) && !line_->text().isEmpty()) {
            line_->clear();
            typed(QString());
        } else {
            menu_.back();
        }
        return true;
    }
    switch (input) {
    case input_kind::menu:
        if (key == Qt::Key_Backspace) {
            menu_.back();
        } else if (enter) {
            menu_.submit(QString());
        } else if (key >= Qt::Key_A && key <= Qt::Key_Z) {
            menu_.press(QChar(u'A' + (key - Qt::Key_A)), e->modifiers() & Qt::ShiftModifier);
        }
        return true;  // keys a menu does not list are ignored
    case input_kind::line:
    case input_kind::break_down:
        if (enter) {
            const QString text = line_->text();
            line_->clear();
            menu_.submit(text);
            return true;
        }
        return false;
    case input_kind::task_entry:
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            tracking::task_entry& entry = menu_.entry();
            entry.move(key == Qt::Key_Up ? -1 : 1);
            fill_task_list();
            if (const model::task_ptr t = entry.current_task(); t && t != entry.pending())
                line_->setText(t->name);
            else
                line_->setText(entry.text());
            return true;
        }
        if (enter) {
            menu_.submit(line_->text());
            return true;
        }
        return false;
    case input_kind::comment:
        if (enter && (e->modifiers() & Qt::ControlModifier)) {
            menu_.submit(comment_->toPlainText());
            return true;
        }
        return false;
    case input_kind::report:
        return true;
    }
    return false;
}

void clapperboard_window::keyPressEvent(QKeyEvent* event)
{
    if (!handle_key(event))
        QWidget::keyPressEvent(event);
}

bool clapperboard_window::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == line_ || watched == comment_) && event->type() == QEvent::KeyPress)
        return handle_key(static_cast<QKeyEvent*>(event));
    return QWidget::eventFilter(watched, event);
}

void clapperboard_window::closeEvent(QCloseEvent* event)
{
    // The title bar's close button is Escape all the way out.
    event->ignore();
    menu_.close();
}

}  // namespace qm::ui
