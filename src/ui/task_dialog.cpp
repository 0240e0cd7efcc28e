#include "ui/task_dialog.h"

#include "app/settings_document.h"
#include "history/recurrence_commands.h"
#include "tracking/task_timer.h"
#include "ui/task_comments_page.h"
#include "ui/task_dependencies_page.h"
#include "ui/task_alarms_page.h"
#include "ui/task_general_page.h"
#include "ui/task_recurrence_page.h"
#include "ui/task_tags_page.h"
#include "ui/task_timers_page.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QShortcut>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace qm::ui {
namespace {
const QString settings_block = QStringLiteral("task_dlg");
}

std::vector<task_page_factory>& task_dialog_pages()
{
    static std::vector<task_page_factory> pages = {
        [](const task_page_context& c, QWidget* parent) -> task_dialog_page* { return new task_general_page(c, parent); },
        [](const task_page_context& c, QWidget* parent) -> task_dialog_page* { return new task_timers_page(c, parent); },
        [](const task_page_context& c, QWidget* parent) -> task_dialog_page* {
            return new task_recurrence_page(c, parent);
        },
        [](const task_page_context& c, QWidget* parent) -> task_dialog_page* { return new task_comments_page(c, parent); },
        [](const task_page_context& c, QWidget* parent) -> task_dialog_page* {
            return new task_dependencies_page(c, parent);
        },
        [](const task_page_context& c, QWidget* parent) -> task_dialog_page* { return new task_alarms_page(c, parent); },
        [](const task_page_context& c, QWidget* parent) -> task_dialog_page* { return new task_tags_page(c, parent); },
    };
    return pages;
}

task_dialog::task_dialog(const model::task& t, model::task_store& store, store::tables& tables,
                         const tracking::task_timer* timer, QString settings_file, QWidget* parent)
    : QDialog(parent), store_(store), copy_(t), timer_(timer), settings_file_(std::move(settings_file))
{
    setWindowTitle(t.name.isEmpty() ? QStringLiteral("Task Properties")
                                    : QStringLiteral("%1 \u2014 Task Properties").arg(t.name));
    setObjectName(QStringLiteral("task_dialog"));

    page_list_ = new QListWidget(this);
    page_list_->setObjectName(QStringLiteral("task_dialog_pages"));
    stack_ = new QStackedWidget(this);
    description_ = new QLabel(this);
    description_->setWordWrap(true);
    QFont f = description_->font();
    f.setItalic(true);
    description_->setFont(f);
    error_label_ = new QLabel(this);
    error_label_->setStyleSheet(QStringLiteral("color: #b00020;"));
    error_label_->setWordWrap(true);
    error_label_->hide();

    const task_page_context context{store, tables, timer};
    for (const task_page_factory& make : task_dialog_pages()) {
        task_dialog_page* p = make(context, stack_);
        p->load(copy_);
        pages_.push_back(p);
        stack_->addWidget(p);
        page_list_->addItem(p->title());
    }
    int widest = 0;
    for (int i = 0; i < page_list_->count(); ++i)
        widest = std::max(widest, page_list_->fontMetrics().horizontalAdvance(page_list_->item(i)->text()));
    page_list_->setFixedWidth(widest + 40);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &task_dialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(page_list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0 || row >= page_count())
            return;
        stack_->setCurrentIndex(row);
        description_->setText(pages_[static_cast<std::size_t>(row)]->description());
    });

    auto* right = new QVBoxLayout;
    right->addWidget(description_);
    right->addWidget(stack_, 1);
    right->addWidget(error_label_);
    auto* body = new QHBoxLayout;
    body->addWidget(page_list_);
    body->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addWidget(buttons);

    const app::settings_document doc = app::settings_document::load(settings_file_);
    const int width = doc.get_int(settings_block, QStringLiteral("width"), 640);
    const int height = doc.get_int(settings_block, QStringLiteral("height"), 520);
    resize(std::max(width, 420), std::max(height, 360));
    show_page(std::clamp(doc.get_int(settings_block, QStringLiteral("page"), 0), 0, page_count() - 1));

    // The pages from the keyboard, wherever the focus is, as in a tabbed dialog.
    auto step_page = [this](int by) { show_page((current_page() + by + page_count()) % page_count()); };
    for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [step_page] { step_page(1); });
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
          QKeySequence(Qt::CTRL | Qt::Key_PageUp)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [step_page] { step_page(-1); });
}

task_dialog::~task_dialog() { save_settings(); }

void task_dialog::save_settings() const
{
    if (settings_file_.isEmpty())
        return;
    app::settings_document doc = app::settings_document::load(settings_file_);
    doc.set_int(settings_block, QStringLiteral("width"), width());
    doc.set_int(settings_block, QStringLiteral("height"), height());
    doc.set_int(settings_block, QStringLiteral("page"), current_page());
    doc.save(settings_file_);
}

void task_dialog::show_page(int index)
{
    if (index >= 0 && index < page_count())
        page_list_->setCurrentRow(index);
}

int task_dialog::current_page() const { return page_list_->currentRow(); }

bool task_dialog::gather(model::task& out)
{
    model::task t = copy_;
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        QString error;
        if (!pages_[i]->store(t, error)) {
            show_page(static_cast<int>(i));
            error_ = error;
            error_label_->setText(error);
            error_label_->show();
            return false;
        }
    }
    error_.clear();
    error_label_->hide();
    out = std::move(t);
    return true;
}

void task_dialog::accept()
{
    if (!gather(result_))
        return;
    QDialog::accept();
}

bool task_dialog::commit(history::task_commands& commands)
{
    model::task_ptr t = store_.find(copy_.id);
    if (!t)
        return false;
    model::task result = result_;
    // The running entry moved on while the dialog was open: it keeps its
    // live length unless the page removed it.
    if (timer_ != nullptr && timer_->is_timed(*t))
        if (const tracking::TrackedTime* live = timer_->running_entry())
            if (tracking::TrackedTime* mine = tracking::find_entry(result.tracked_times, live->id))
                *mine = *live;
    // A pattern chosen on the Recurrence page goes through the recurrence
    // commands: a plain task becomes a master; a changed pattern cascades.
    for (task_dialog_page* p : pages_) {
        auto* page = dynamic_cast<task_recurrence_page*>(p);
        history::recurrence_commands* recurring = commands.recurrences();
        if (page == nullptr || recurring == nullptr || !page->wanted())
            continue;
        model::task after = result;
        after.cache = t->cache;
        if (!recurring->handles(*t))
            return recurring->make_master(*t, after, *page->wanted());
        if (page->pattern_changed())
            return recurring->modify_with_pattern(*t, after, *page->wanted());
    }
    return commands.modify(*t, [&](model::task& x) {
        const auto keep_cache = x.cache;
        x = result;
        x.cache = keep_cache;
    });
}

}  // namespace qm::ui
