#include "ui/alarm_dialog.h"

#include "time/format.h"
#include "time/parse.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qm::ui {
namespace {

namespace alarm_type = tracking::alarm_type;
namespace alarm_flag = tracking::alarm_flag;

const char* const choice_texts[] = {
    "Trigger", "from now", "on", "Trigger when estimate is reached ", "Trigger when a timer reaches",
    "Trigger whenever a timer reaches", "Trigger when time reaches", "Trigger when a timer is started",
    "Trigger whenever a timer is started", "Trigger when task is finished", "Trigger when task status changes",
};
// Seconds first shown in the duration boxes.
const std::int64_t default_values[] = {1800, 3600, 0, 0, 1800, 900, 3600, 0, 0, 0, 0};

bool has_value(alarm_dialog::choice c)
{
    switch (c) {
    case alarm_dialog::before_appointment: case alarm_dialog::from_now: case alarm_dialog::timer_reaches:
    case alarm_dialog::timer_whenever: case alarm_dialog::time_reaches: return true;
    default: return false;
    }
}

const char* const action_texts[] = {"Play sound", "Open website", "Open file", "Run program"};

}  // namespace

alarm_dialog::alarm_dialog(const tracking::Alarm& a, int kind, const model::task_store& tasks,
                           tracking::alarm_actions& tester, QString asset_folder, bool is_new, QWidget* parent)
    : QDialog(parent),
      original_(a),
      kind_(kind),
      tasks_(tasks),
      tester_(tester),
      asset_folder_(std::move(asset_folder)),
      is_new_(is_new)
{
    setWindowTitle(kind >= 16 ? QStringLiteral("Default Alarm Settings")
                              : is_new ? QStringLiteral("New Alarm") : QStringLiteral("Alarm Properties"));
    setAcceptDrops(true);
    auto* layout = new QVBoxLayout(this);

    auto* subject_row = new QHBoxLayout;
    subject_row->addWidget(new QLabel(QStringLiteral("&Subject:"), this));
    subject_ = new QLineEdit(this);
    subject_->setObjectName(QStringLiteral("alarm_subject"));
    qobject_cast<QLabel*>(subject_row->itemAt(0)->widget())->setBuddy(subject_);
    subject_row->addWidget(subject_, 1);
    layout->addLayout(subject_row);

    if (kind == tracking::alarm_kind::appointment)
        offered_.push_back(before_appointment);
    offered_.push_back(from_now);
    offered_.push_back(on_time);
    if (kind == tracking::alarm_kind::todo || kind == tracking::alarm_kind::appointment)
        for (choice c : {estimate, timer_reaches, timer_whenever, time_reaches, timer_started, timer_started_every,
                         finished, status_changes})
            offered_.push_back(c);
    if (kind >= 16)
        offered_.clear();

    if (!offered_.empty()) {
        auto* box = new QGroupBox(QStringLiteral("Trigger"), this);
        auto* grid = new QGridLayout(box);
        group_ = new QButtonGroup(this);
        int row = 0;
        for (choice c : offered_) {
            auto* b = new QRadioButton(QString::fromUtf8(choice_texts[c]), box);
            buttons_[c] = b;
            group_->addButton(b, c);
            grid->addWidget(b, row, 0);
            if (has_value(c)) {
                auto* e = new QLineEdit(time::format_duration(default_values[c]), box);
                e->setObjectName(QStringLiteral("alarm_value_%1").arg(c));
                values_[c] = e;
                grid->addWidget(e, row, 1);
                connect(e, &QLineEdit::textEdited, b, [b] { b->setChecked(true); });
                if (c == before_appointment)
                    grid->addWidget(new QLabel(QStringLiteral("before appointment start"), box), row, 2);
            }
            if (c == on_time) {
                const time::stored_time start = (time::now() + 4500) / 3600 * 3600;
                date_ = new QLineEdit(time::format_short_date(time::date_of(start)), box);
                time_ = new QLineEdit(time::format_time_of_day(start - time::date_of(start)), box);
                date_->setObjectName(QStringLiteral("alarm_date"));
                time_->setObjectName(QStringLiteral("alarm_time"));
                grid->addWidget(date_, row, 1);
                grid->addWidget(time_, row, 2);
                for (QLineEdit* e : {date_, time_})
                    connect(e, &QLineEdit::textEdited, b, [b] { b->setChecked(true); });
            }
            ++row;
        }
        transition_ = new QCheckBox(QStringLiteral("Or trigger after next task transition"), box);
        grid->addWidget(transition_, row, 0, 1, 3);
        layout->addWidget(box);
        buttons_[offered_.front()]->setChecked(true);
    } else {
        transition_ = new QCheckBox(QStringLiteral("Or trigger after next task transition"), this);
        layout->addWidget(transition_);
    }

    auto* actions = new QGroupBox(QStringLiteral("Actions"), this);
    auto* grid = new QGridLayout(actions);
    window_ = new QCheckBox(QStringLiteral("Show alarm window"), actions);
    grid->addWidget(window_, 0, 0, 1, 4);
    for (int i = 0; i < 4; ++i) {
        action_boxes_[i] = new QCheckBox(QString::fromUtf8(action_texts[i]), actions);
        action_edits_[i] = new QLineEdit(actions);
        action_edits_[i]->setObjectName(QStringLiteral("alarm_action_%1").arg(i));
        grid->addWidget(action_boxes_[i], i + 1, 0);
        grid->addWidget(action_edits_[i], i + 1, 1);
        QLineEdit* e = action_edits_[i];
        QCheckBox* box = action_boxes_[i];
        connect(e, &QLineEdit::textEdited, box, [box] { box->setChecked(true); });
        if (i != 1) {
            auto* more = new QPushButton(QStringLiteral("..."), actions);
            more->setMaximumWidth(32);
            more->setToolTip(QStringLiteral("Browse"));
            grid->addWidget(more, i + 1, 2);
            connect(more, &QPushButton::clicked, this, [this, i] { browse(i); });
        }
        auto* test = new QPushButton(QStringLiteral("!"), actions);
        test->setMaximumWidth(32);
        test->setToolTip(QStringLiteral("Try it now"));
        test->setObjectName(QStringLiteral("alarm_test_%1").arg(i));
        grid->addWidget(test, i + 1, 3);
        connect(test, &QPushButton::clicked, this, [this, i] { test_action(i); });
    }
    grid->addWidget(new QLabel(QStringLiteral("Program arguments"), actions), 5, 0);
    arguments_ = new QLineEdit(actions);
    grid->addWidget(arguments_, 5, 1);
    connect(arguments_, &QLineEdit::textEdited, action_boxes_[3], [this] { action_boxes_[3]->setChecked(true); });
    mend_label_ = new QLabel(QStringLiteral("These actions could not be read; mend them (entries are "
                                            "\"*sound, \"?website, \">file or \":program, joined by |):"),
                             actions);
    mend_label_->setWordWrap(true);
    mend_ = new QLineEdit(actions);
    mend_->setObjectName(QStringLiteral("alarm_mend"));
    grid->addWidget(mend_label_, 6, 0, 1, 4);
    grid->addWidget(mend_, 7, 0, 1, 4);
    mend_label_->hide();
    mend_->hide();
    // Once the mended text reads, its entries fill the boxes.
    connect(mend_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text.trimmed().isEmpty())
            return;
        if (const auto entries = tracking::read_alarm_command(text)) {
            load_actions(*entries);
            mend_label_->hide();
            mend_->hide();
            mend_->clear();
        }
    });
    layout->addWidget(actions);

    error_ = new QLabel(this);
    error_->setObjectName(QStringLiteral("alarm_error"));
    error_->setStyleSheet(QStringLiteral("color: #b00000"));
    error_->setWordWrap(true);
    error_->hide();
    layout->addWidget(error_);
    auto* bb = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(bb, &QDialogButtonBox::accepted, this, &alarm_dialog::accept);
    connect(bb, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(bb);

    load(a);
}

QString alarm_dialog::error_text() const { return error_->isVisible() || !error_->text().isEmpty() ? error_->text() : QString(); }

void alarm_dialog::select(choice c)
{
    if (buttons_[c] != nullptr)
        buttons_[c]->setChecked(true);
}

void alarm_dialog::load(const tracking::Alarm& a)
{
    subject_->setText(a.text);
    transition_->setChecked(a.flags & alarm_flag::next_transition);
    window_->setChecked(a.flags & alarm_flag::show_window);
    auto set_value = [this](choice c, std::int64_t seconds) {
        select(c);
        if (values_[c] != nullptr)
            values_[c]->setText(time::format_duration(seconds));
    };
    if (!is_new_ && kind_ < 16) {
        switch (a.type) {
        case alarm_type::at_time:
        case alarm_type::at_time_attached:
            select(on_time);
            if (date_ != nullptr && a.time != 0) {
                date_->setText(time::format_short_date(time::date_of(a.time)));
                time_->setText(time::format_time_of_day(a.time - time::date_of(a.time)));
            }
            break;
        case alarm_type::before_appointment: set_value(before_appointment, a.time); break;
        case alarm_type::time_reaches: set_value(time_reaches, a.time); break;
        case alarm_type::estimate_reached: select(estimate); break;
        case alarm_type::timer_reaches: set_value(timer_reaches, a.time); break;
        case alarm_type::timer_reaches_every: set_value(timer_whenever, a.time); break;
        case alarm_type::finished: select(finished); break;
        case alarm_type::status_changes: select(status_changes); break;
        case alarm_type::timer_started: select(timer_started); break;
        case alarm_type::timer_started_every: select(timer_started_every); break;
        default: break;
        }
    }
    const auto entries = tracking::read_alarm_command(a.command);
    if (!entries) {
        mend_label_->show();
        mend_->show();
        mend_->setText(a.command);
        return;
    }
    // A new alarm comes with its kind's defaults: the window and the
    // default sound unless a default setting says otherwise.
    load_actions(*entries);
}

void alarm_dialog::load_actions(const std::vector<tracking::alarm_entry>& entries)
{
    for (int i = 0; i < 4; ++i) {
        action_boxes_[i]->setChecked(false);
        action_edits_[i]->clear();
    }
    arguments_->clear();
    for (const tracking::alarm_entry& e : entries) {
        int i = 2;
        if (tracking::plays_sound(e))
            i = 0;
        else if (e.kind == QLatin1Char('?'))
            i = 1;
        else if (e.kind == QLatin1Char(':'))
            i = 3;
        action_boxes_[i]->setChecked(true);
        if (i == 3) {
            const tracking::program_call call = tracking::split_program(e.argument);
            action_edits_[3]->setText(call.file);
            arguments_->setText(call.parameters);
        } else {
            action_edits_[i]->setText(e.argument);
        }
    }
    if (action_edits_[0]->text().isEmpty())
        action_edits_[0]->setText(QStringLiteral("alarm.wav"));
}

std::optional<tracking::alarm_entry> alarm_dialog::entry_of(int i) const
{
    const QString text = action_edits_[i]->text().trimmed();
    if (text.isEmpty())
        return std::nullopt;
    switch (i) {
    case 0: return tracking::alarm_entry{QLatin1Char('*'), text};
    case 1: return tracking::alarm_entry{QLatin1Char('?'), text};
    case 2: return tracking::alarm_entry{QLatin1Char('>'), text};
    default:
        return tracking::alarm_entry{QLatin1Char(':'), tracking::program_argument(text, arguments_->text().trimmed())};
    }
}

std::vector<tracking::alarm_entry> alarm_dialog::entries_of_boxes() const
{
    std::vector<tracking::alarm_entry> out;
    for (int i = 0; i < 4; ++i)
        if (action_boxes_[i]->isChecked())
            if (auto e = entry_of(i))
                out.push_back(*e);
    return out;
}

void alarm_dialog::fail(const QString& text)
{
    error_->setText(text);
    error_->show();
}

bool alarm_dialog::gather(tracking::Alarm& out, QString& error)
{
    out = original_;
    out.text = subject_->text();
    if (!mend_->isHidden() && !mend_->text().trimmed().isEmpty()) {
        error = QStringLiteral("The actions \"%1\" cannot be read: mend them or clear the text.").arg(mend_->text());
        return false;
    }
    for (int i = 0; i < 4; ++i)
        if (action_boxes_[i]->isChecked() && action_edits_[i]->text().trimmed().isEmpty()) {
            error = QStringLiteral("\"%1\" is ticked but names nothing.").arg(QString::fromUtf8(action_texts[i]));
            return false;
        }
    out.command = tracking::write_alarm_command(entries_of_boxes());
    out.flags = (transition_->isChecked() ? alarm_flag::next_transition : 0) |
                (window_->isChecked() ? alarm_flag::show_window : 0);
    if (kind_ >= 16) {
        out.type = alarm_type::template_;
        out.attached = 0;
        out.attached_type = kind_;
        out.time = 0;
        return true;
    }
    out.attached_type = kind_ == tracking::alarm_kind::todo || kind_ == tracking::alarm_kind::appointment ? 1 : 0;
    if (out.attached_type == 0)
        out.attached = 0;
    const auto c = static_cast<choice>(group_->checkedId());
    std::int64_t seconds = 0;
    if (has_value(c)) {
        const std::optional<time::duration> d = time::parse_duration_checked(values_[c]->text());
        if (!d || *d <= 0) {
            error = QStringLiteral("\"%1\" is not a duration: type for example 10m, 1h 30m or 0:45.")
                        .arg(values_[c]->text());
            values_[c]->setFocus();
            return false;
        }
        seconds = *d;
    }
    const int timed_type = out.attached != 0 ? alarm_type::at_time_attached : alarm_type::at_time;
    out.time = 0;
    switch (c) {
    case before_appointment: out.type = alarm_type::before_appointment; out.time = seconds; break;
    case estimate: out.type = alarm_type::estimate_reached; break;
    case timer_reaches: out.type = alarm_type::timer_reaches; out.time = seconds; break;
    case timer_whenever: out.type = alarm_type::timer_reaches_every; out.time = seconds; break;
    case time_reaches: out.type = alarm_type::time_reaches; out.time = seconds; break;
    case timer_started: out.type = alarm_type::timer_started; break;
    case timer_started_every: out.type = alarm_type::timer_started_every; break;
    case finished: out.type = alarm_type::finished; break;
    case status_changes: out.type = alarm_type::status_changes; break;
    case from_now: out.type = timed_type; out.time = time::now() + seconds; break;
    case on_time: {
        const time::parsed_date d = time::parse_date(date_->text(), time::short_date_pattern(), time::today());
        if (d.failed) {
            error = QStringLiteral("\"%1\" is not a date: type for example today, next fri, 3/15 or dec 25.")
                        .arg(date_->text());
            date_->setFocus();
            return false;
        }
        const time::time_of_day at = time::parse_time_of_day(time_->text(), time::uses_24_hour_clock());
        if (at < 0) {
            error = QStringLiteral("\"%1\" is not a time of day: type for example 9:30 or 2pm.").arg(time_->text());
            time_->setFocus();
            return false;
        }
        out.type = timed_type;
        out.time = d.date + at;
        break;
    }
    default: break;
    }
    return true;
}

void alarm_dialog::accept()
{
    tracking::Alarm out;
    QString error;
    if (!gather(out, error)) {
        fail(error);
        return;
    }
    const bool timed = out.type == alarm_type::at_time || out.type == alarm_type::at_time_attached;
    if (timed && out.time <= time::now()) {
        // A new alarm whose time has passed never goes off; a changed one goes off at once.
        const QString question =
            is_new_ ? QStringLiteral("The time %1 has already passed, so this alarm would never go off. Save it anyway?")
                    : QStringLiteral("The time %1 has already passed, so this alarm will go off at once. Save it anyway?");
        const QString text = question.arg(time::format_date_time(out.time));
        const bool yes = confirm ? confirm(text)
                                 : QMessageBox::question(this, QStringLiteral("Alarm"), text) == QMessageBox::Yes;
        if (!yes)
            return;
    }
    result_ = out;
    QDialog::accept();
}

void alarm_dialog::test_action(int i)
{
    const std::optional<tracking::alarm_entry> e = entry_of(i);
    std::optional<tracking::action_failure> failure;
    if (!e)
        failure = tracking::action_failure{i == 0 ? QStringLiteral("Couldn't play")
                                                  : i == 1 ? QStringLiteral("Couldn't open website")
                                                  : i == 2 ? QStringLiteral("Couldn't open") : QStringLiteral("Couldn't run"),
                                           QStringLiteral("Nothing is named to try.")};
    else
        failure = tracking::run_entry(*e, tester_, asset_folder_);
    if (!failure)
        return;
    if (report)
        report(failure->caption, failure->text);
    else
        QMessageBox::information(this, failure->caption, failure->text);
}

void alarm_dialog::browse(int i)
{
    const QString filter = i == 0 ? QStringLiteral("WAV sound files (*.wav);;All files (*)")
                                  : i == 3 ? QStringLiteral("Programs (*);;All files (*)") : QStringLiteral("All files (*)");
    QString start = action_edits_[i]->text();
    if (i == 0 && !start.isEmpty() && !start.contains(QLatin1Char('/')))
        start = asset_folder_ + start;
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Choose a File"), start, filter);
    if (file.isEmpty())
        return;
    action_edits_[i]->setText(file);
    action_boxes_[i]->setChecked(true);
}

void alarm_dialog::dragEnterEvent(QDragEnterEvent* e)
{
    if (e->mimeData()->hasUrls())
        e->acceptProposedAction();
}

void alarm_dialog::dropEvent(QDropEvent* e)
{
    for (const QUrl& url : e->mimeData()->urls()) {
        if (!url.isLocalFile())
            continue;
        const QFileInfo f(url.toLocalFile());
        const int i = f.suffix().compare(QStringLiteral("wav"), Qt::CaseInsensitive) == 0 ? 0
                      : f.isExecutable() && f.isFile()                                     ? 3
                                                                                           : 2;
        action_edits_[i]->setText(f.absoluteFilePath());
        action_boxes_[i]->setChecked(true);
    }
    e->acceptProposedAction();
}

}  // namespace qm::ui
