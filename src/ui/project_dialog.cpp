#include "ui/project_dialog.h"

#include "app/settings_document.h"
#include "model/comments.h"
#include "time/format.h"
#include "ui/comments_list.h"
#include "time/parse.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace qm::ui {
namespace {

const int status_order[] = {model::status::unfinished, model::status::waiting, model::status::delegated,
                            model::status::finished, model::status::canceled};

}  // namespace

project_dialog::project_dialog(project_context& c, const model::project& p, QString settings_file, QWidget* parent)
    : QDialog(parent), c_(c), id_(p.id), settings_file_(std::move(settings_file)), finished_stamp_(p.finished)
{
    setWindowTitle(QStringLiteral("Project: %1").arg(model::project_caption(p)));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);

    name_ = new QLineEdit(p.name, this);
    name_->setObjectName(QStringLiteral("name"));
    form->addRow(QStringLiteral("&Name:"), name_);

    if (!c_.tables.roles.cache().empty()) {
        role_ = new QComboBox(this);
        role_->addItem(QStringLiteral("<None>"), 0);
        for (const auto& r : c_.tables.roles.cache())
            if (r->parent != -1)  // roles, not life areas
                role_->addItem(r->name, r->id);
        const int at = role_->findData(p.role);
        role_->setCurrentIndex(at >= 0 ? at : 0);
        form->addRow(QStringLiteral("&Role:"), role_);
    }

    deadline_ = new QLineEdit(p.deadline == 0 ? QString() : time::format_short_date(p.deadline), this);
    deadline_->setObjectName(QStringLiteral("deadline"));
    deadline_->setPlaceholderText(QStringLiteral("none (type a date: next fri, 3/15, dec 25)"));
    form->addRow(QStringLiteral("&Deadline:"), deadline_);
    no_date_ = new QCheckBox(QStringLiteral("No date"), this);
    no_date_->setChecked(p.type == 1);
    form->addRow(QString(), no_date_);

    status_ = new QComboBox(this);
    status_->setObjectName(QStringLiteral("status"));
    for (int s : status_order)
        status_->addItem(model::status_text(s, true), s);
    status_->setCurrentIndex(std::max(0, status_->findData(p.status)));
    finished_ = new QLabel(this);
    auto* status_row = new QHBoxLayout;
    status_row->addWidget(status_);
    status_row->addWidget(finished_, 1);
    auto* status_label = new QLabel(QStringLiteral("&Status:"), this);
    status_label->setBuddy(status_);
    form->addRow(status_label, status_row);
    connect(status_, &QComboBox::currentIndexChanged, this, [this] {
        // Stamped when it becomes finished, never cleared.
        if (status_->currentData().toInt() == model::status::finished && finished_stamp_ == 0)
            finished_stamp_ = time::now();
        show_finished();
    });
    show_finished();

    method_ = new QComboBox(this);
    method_->addItem(QStringLiteral("ROI\u2014Return on Investment"), model::project_method::roi);
    method_->addItem(QStringLiteral("Manual"), model::project_method::manual);
    method_->setCurrentIndex(p.folder_type == model::project_method::manual ? 1 : 0);
    form->addRow(QStringLiteral("Folder &method:"), method_);

    description_ = new QPlainTextEdit(p.description, this);
    description_->setTabChangesFocus(true);
    form->addRow(QStringLiteral("D&escription:"), description_);
    layout->addLayout(form);
    // The project's dated comments, kept with the project on OK.
    comments_ = new comments_list(model::comment_type::project, this);
    comments_->set_comments(p.id, p.comments);
    layout->addWidget(new QLabel(QStringLiteral("Comments:"), this));
    layout->addWidget(comments_, 1);

    problem_ = new QLabel(this);
    problem_->setStyleSheet(QStringLiteral("color: #b00020"));
    problem_->setWordWrap(true);
    problem_->hide();
    layout->addWidget(problem_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &project_dialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &project_dialog::reject);
    layout->addWidget(buttons);

    const app::settings_document doc = app::settings_document::load(settings_file_);
    resize(std::max(420, doc.get_int(QStringLiteral("dialog"), QStringLiteral("width"), 520)),
           std::max(320, doc.get_int(QStringLiteral("dialog"), QStringLiteral("height"), 560)));
}

void project_dialog::show_finished()
{
    finished_->setText(finished_stamp_ == 0 ? QString()
                                            : QStringLiteral("finished %1").arg(time::format_date_time(finished_stamp_)));
}

bool project_dialog::save()
{
    model::project_ptr p = c_.projects.find(id_);
    if (!p)
        return true;  // deleted meanwhile: nothing to save
    time::stored_time deadline = 0;
    const QString text = deadline_->text().trimmed();
    if (!text.isEmpty() && text.compare(QLatin1String("none"), Qt::CaseInsensitive) != 0) {
        const time::parsed_date d = time::parse_date(text, time::short_date_pattern(), time::today());
        if (d.failed) {
            problem_->setText(
                QStringLiteral("\"%1\" is not a date: type for example today, next fri, 3/15 or dec 25.").arg(text));
            problem_->show();
            deadline_->setFocus();
            return false;
        }
        deadline = d.date;
    }
    c_.project_cmds.modify(*p, [&](model::project& x) {
        x.name = name_->text().trimmed();
        if (role_ != nullptr)
            x.role = role_->currentData().toInt();
        x.deadline = deadline;
        x.type = no_date_->isChecked() ? 1 : (x.type == 1 ? 0 : x.type);
        x.status = status_->currentData().toInt();
        x.finished = finished_stamp_;
        x.folder_type = method_->currentData().toInt();
        x.description = description_->toPlainText();
        x.comments = comments_->comments();
    });
    return true;
}

void project_dialog::accept()
{
    if (save())
        QDialog::accept();
}

void project_dialog::done(int result)
{
    app::settings_document doc = app::settings_document::load(settings_file_);
    doc.set_int(QStringLiteral("dialog"), QStringLiteral("width"), width());
    doc.set_int(QStringLiteral("dialog"), QStringLiteral("height"), height());
    doc.save(settings_file_);
    QDialog::done(result);
}

}  // namespace qm::ui
