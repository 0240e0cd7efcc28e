#include "ui/exchange_dialog.h"

#include "app/settings_document.h"
#include "exchange/caldav_backend.h"
#include "exchange/ics_backend.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace qm::ui {
namespace {

const QString section = QStringLiteral("calendars");
constexpr int store_role = Qt::UserRole;
constexpr int entry_role = Qt::UserRole + 1;

QString calendar_key(const exchange::calendar_ref& c) { return c.store_id + QLatin1Char('|') + c.entry_id; }

}  // namespace

exchange_dialog::exchange_dialog(exchange::direction dir, QString settings_file, QWidget* parent)
    : QDialog(parent), dir_(dir), settings_file_(std::move(settings_file))
{
    const bool import = dir_ == exchange::direction::import_;
    setWindowTitle(import ? QStringLiteral("Import Appointments") : QStringLiteral("Export Appointments"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    source_ = new QComboBox(this);
    source_->addItems(exchange::source_names());
    form->addRow(import ? QStringLiteral("Import &from:") : QStringLiteral("Export &to:"), source_);
    range_ = new QComboBox(this);
    range_->addItems(exchange::range_names());
    form->addRow(import ? QStringLiteral("Im&port:") : QStringLiteral("Ex&port:"), range_);
    layout->addLayout(form);

    // What each source needs before its calendars can be listed.
    pages_ = new QStackedWidget(this);
    auto* outlook = new QLabel(QStringLiteral("Outlook calendars are read through Outlook itself."), pages_);
    outlook->setWordWrap(true);
    pages_->addWidget(outlook);
    auto* files = new QWidget(pages_);
    auto* files_row = new QHBoxLayout(files);
    files_row->setContentsMargins(0, 0, 0, 0);
    auto* add = new QPushButton(import ? QStringLiteral("&Add File...") : QStringLiteral("&Add or New File..."), files);
    auto* remove = new QPushButton(QStringLiteral("&Remove File"), files);
    files_row->addWidget(add);
    files_row->addWidget(remove);
    files_row->addStretch();
    pages_->addWidget(files);
    auto* server = new QWidget(pages_);
    auto* server_form = new QFormLayout(server);
    server_form->setContentsMargins(0, 0, 0, 0);
    server_ = new QLineEdit(server);
    server_->setPlaceholderText(QStringLiteral("https://calendar.example.org/dav/"));
    user_ = new QLineEdit(server);
    password_ = new QLineEdit(server);
    password_->setEchoMode(QLineEdit::Password);
    password_->setPlaceholderText(QStringLiteral("asked each time, never saved"));
    auto* find = new QPushButton(QStringLiteral("Fin&d Calendars"), server);
    server_form->addRow(QStringLiteral("&Server:"), server_);
    server_form->addRow(QStringLiteral("&User:"), user_);
    server_form->addRow(QStringLiteral("Pass&word:"), password_);
    server_form->addRow(QString(), find);
    pages_->addWidget(server);
    layout->addWidget(pages_);

    layout->addWidget(new QLabel(import ? QStringLiteral("From:") : QStringLiteral("On:"), this));
    calendars_ = new QListWidget(this);
    calendars_->setMinimumHeight(110);
    layout->addWidget(calendars_);
    if (!import) {
        auto* row = new QFormLayout;
        default_ = new QComboBox(this);
        row->addRow(QStringLiteral("Export new appointments to:"), default_);
        layout->addLayout(row);
    }
    note_ = new QLabel(this);
    note_->setWordWrap(true);
    layout->addWidget(note_);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(import ? QStringLiteral("&Import") : QStringLiteral("E&xport"), QDialogButtonBox::AcceptRole)
        ->setDefault(true);
    buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(source_, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { source_changed(); });
    connect(add, &QPushButton::clicked, this, [this] { choose_file(); });
    connect(remove, &QPushButton::clicked, this, [this] {
        delete calendars_->currentItem();
        fill_defaults();
    });
    connect(find, &QPushButton::clicked, this, [this] { find_calendars(); });
    connect(calendars_, &QListWidget::itemChanged, this, [this] { fill_defaults(); });
    load();
    resize(460, sizeHint().height());
}

void exchange_dialog::load()
{
    const app::settings_document doc = app::settings_document::load(settings_file_);
    const bool import = dir_ == exchange::direction::import_;
    chosen_ = app::unescape_line_breaks(doc.get_string(section, import ? QStringLiteral("import") : QStringLiteral("export")))
                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    default_id_ = doc.get_string(section, QStringLiteral("default_calendar"));
    server_->setText(doc.get_string(section, QStringLiteral("server")));
    user_->setText(doc.get_string(section, QStringLiteral("user")));
    range_->setCurrentIndex(std::clamp(doc.get_int(section, QStringLiteral("range"), 0), 0, 2));
    source_->setCurrentIndex(std::clamp(doc.get_int(section, QStringLiteral("source"), exchange::source_kind::files), 0, 2));
    source_changed();
}

void exchange_dialog::save() const
{
    app::settings_document doc = app::settings_document::load(settings_file_);
    QStringList chosen;
    for (int i = 0; i < calendars_->count(); ++i)
        if (calendars_->item(i)->checkState() == Qt::Checked)
            chosen << calendars_->item(i)->data(store_role).toString() + QLatin1Char('|') +
                          calendars_->item(i)->data(entry_role).toString();
    const bool import = dir_ == exchange::direction::import_;
    doc.set_string(section, import ? QStringLiteral("import") : QStringLiteral("export"),
                   app::escape_line_breaks(chosen.join(QLatin1Char('\n'))));
    if (default_ != nullptr)
        doc.set_string(section, QStringLiteral("default_calendar"), default_->currentData().toString());
    doc.set_int(section, QStringLiteral("source"), source_->currentIndex());
    doc.set_int(section, QStringLiteral("range"), range_->currentIndex());
    doc.set_string(section, QStringLiteral("server"), server_->text());
    doc.set_string(section, QStringLiteral("user"), user_->text());
    doc.save(settings_file_);
}

void exchange_dialog::source_changed()
{
    const int kind = source_->currentIndex();
    setWindowTitle((dir_ == exchange::direction::import_ ? QStringLiteral("Import from ") : QStringLiteral("Export to ")) +
                   source_->currentText());
    pages_->setCurrentIndex(kind);
    calendars_->clear();
    note_->clear();
    if (kind == exchange::source_kind::files) {
        // The files chosen before, when they are still there (or, for an
        // export, about to be made).
        for (const QString& key : chosen_)
            if (key.startsWith(exchange::ics_backend::store_id() + QLatin1Char('|')))
                add_file(key.section(QLatin1Char('|'), 1));
    } else if (kind == exchange::source_kind::outlook) {
        note_->setText(QStringLiteral("Outlook is not available on this system."));
    }
    fill_defaults();
}

void exchange_dialog::add_file(const QString& path)
{
    const exchange::calendar_ref c = exchange::ics_backend::calendar_of(path);
    for (int i = 0; i < calendars_->count(); ++i)
        if (calendars_->item(i)->data(entry_role).toString() == c.entry_id)
            return;
    auto* item = new QListWidgetItem(QStringLiteral("%1 \u2014 %2").arg(c.name, c.entry_id), calendars_);
    item->setData(store_role, c.store_id);
    item->setData(entry_role, c.entry_id);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Checked);
    item->setToolTip(c.entry_id);
    fill_defaults();
}

void exchange_dialog::choose_file()
{
    const QString filter = QStringLiteral("iCalendar files (*.ics);;All files (*)");
    QString path;
    if (dir_ == exchange::direction::import_) {
        path = QFileDialog::getOpenFileName(this, QStringLiteral("Calendar File"), QString(), filter);
    } else {
        path = QFileDialog::getSaveFileName(this, QStringLiteral("Calendar File"), QStringLiteral("appointments.ics"),
                                            filter, nullptr, QFileDialog::DontConfirmOverwrite);
        if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
            path += QStringLiteral(".ics");
    }
    if (!path.isEmpty())
        add_file(path);
}

void exchange_dialog::find_calendars()
{
    calendars_->clear();
    note_->setText(QStringLiteral("Looking for calendars..."));
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    exchange::caldav_backend backend(server_->text(), user_->text(), password_->text());
    QString error;
    std::vector<exchange::calendar_ref> found;
    const bool ok = backend.connect(error) && backend.list_calendars(found, error);
    backend.release();
    QGuiApplication::restoreOverrideCursor();
    if (!ok) {
        note_->setText(error);
        return;
    }
    for (const exchange::calendar_ref& c : found) {
        auto* item = new QListWidgetItem(c.name, calendars_);
        item->setData(store_role, c.store_id);
        item->setData(entry_role, c.entry_id);
        item->setToolTip(c.entry_id);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(chosen_.contains(calendar_key(c)) || found.size() == 1 ? Qt::Checked : Qt::Unchecked);
    }
    note_->setText(found.empty() ? QStringLiteral("The server holds no calendars for this user.")
                                 : QStringLiteral("%1 calendars found.").arg(found.size()));
    fill_defaults();
}

void exchange_dialog::fill_defaults()
{
    if (default_ == nullptr)
        return;
    const QString keep = default_->count() > 0 ? default_->currentData().toString() : default_id_;
    default_->clear();
    for (int i = 0; i < calendars_->count(); ++i) {
        const QListWidgetItem* item = calendars_->item(i);
        const QString key = item->data(store_role).toString() + QLatin1Char('|') + item->data(entry_role).toString();
        default_->addItem(item->text(), key);
        if (key == keep)
            default_->setCurrentIndex(default_->count() - 1);
    }
}

exchange::calendar_source exchange_dialog::source() const
{
    exchange::calendar_source s;
    s.kind = source_->currentIndex();
    for (int i = 0; i < calendars_->count(); ++i)
        s.files << calendars_->item(i)->data(entry_role).toString();
    s.server = server_->text();
    s.user = user_->text();
    s.password = password_->text();
    return s;
}

exchange::exchange_request exchange_dialog::request() const
{
    exchange::exchange_request r;
    r.dir = dir_;
    r.range = range_->currentIndex();
    for (int i = 0; i < calendars_->count(); ++i) {
        const QListWidgetItem* item = calendars_->item(i);
        if (item->checkState() == Qt::Checked)
            r.calendars.push_back({item->data(store_role).toString(), item->data(entry_role).toString(),
                                   item->text().section(QStringLiteral(" \u2014 "), 0, 0)});
    }
    if (default_ != nullptr && default_->currentIndex() >= 0) {
        const QString key = default_->currentData().toString();
        r.default_calendar = {key.section(QLatin1Char('|'), 0, 0), key.section(QLatin1Char('|'), 1),
                              default_->currentText().section(QStringLiteral(" \u2014 "), 0, 0)};
    }
    return r;
}

void exchange_dialog::accept()
{
    const exchange::exchange_request r = request();
    // Outlook answers for itself: the run says that it cannot start.
    if (source_->currentIndex() != exchange::source_kind::outlook) {
        if (r.calendars.empty()) {
            note_->setText(source_->currentIndex() == exchange::source_kind::files
                               ? QStringLiteral("Add a calendar file and check it first.")
                               : QStringLiteral("Find the server's calendars and check one first."));
            return;
        }
        if (dir_ == exchange::direction::export_ && r.default_calendar.entry_id.isEmpty()) {
            note_->setText(QStringLiteral("Choose the calendar for new appointments."));
            return;
        }
    }
    save();
    QDialog::accept();
}

}  // namespace qm::ui
