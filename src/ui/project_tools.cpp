#include "ui/project_tools.h"

#include <QCompleter>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

namespace qm::ui {

path_target resolve_path(const project_context& c, const QString& text)
{
    path_target out;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0) {
        out.ok = true;
        return out;
    }
    const QStringList parts = trimmed.split(QLatin1Char('\\'));
    model::project* project = nullptr;
    for (model::project* p : c.projects.list_order())
        if (p->name.compare(parts.front().trimmed(), Qt::CaseInsensitive) == 0) {
            project = p;
            break;
        }
    if (project == nullptr) {
        out.message = QStringLiteral("There is no project \"%1\".").arg(parts.front().trimmed());
        return out;
    }
    out.project = project->id;
    const model::task_tree tree = model::build_task_tree(c.tasks, *project);
    const std::vector<model::task*>* group = &tree.roots;
    for (int i = 1; i < parts.size(); ++i) {
        const QString name = parts[i].trimmed();
        model::task* found = nullptr;
        for (model::task* t : *group)
            if (t->is_folder() && t->name.compare(name, Qt::CaseInsensitive) == 0) {
                found = t;
                break;
            }
        if (found == nullptr) {
            out.message = QStringLiteral("There is no folder \"%1\" in \"%2\".")
                              .arg(name, QStringList(parts.mid(0, i)).join(QLatin1Char('\\')));
            return out;
        }
        out.folder = found;
        group = &tree.children_of(found->id);
    }
    out.ok = true;
    return out;
}

QString place_path(const project_context& c, const model::task& t)
{
    model::project_ptr p = c.projects.find(t.project);
    if (!p)
        return QString();
    QStringList names;
    const model::task* up = c.tasks.parent_of(t);
    for (int step = 0; up != nullptr && step < 20; ++step) {
        names.prepend(up->name);
        up = c.tasks.parent_of(*up);
    }
    names.prepend(p->name);
    return names.join(QLatin1Char('\\'));
}

bool assign_path(project_context& c, const std::vector<model::task*>& tasks, const QString& text, QString& message)
{
    message.clear();
    const path_target target = resolve_path(c, text);
    if (!target.ok) {
        message = target.message;
        return false;
    }
    c.history.begin_group();
    for (model::task* t : tasks) {
        const history::move_result r = c.moves.move_under(*t, target.project, target.folder);
        if (!r.done && !r.message.isEmpty())
            message = r.message;
    }
    c.history.end_group();
    return message.isEmpty();
}

QString prompt_assign(project_context& c, QWidget* parent, const std::vector<model::task*>& tasks, bool folder)
{
    if (tasks.empty())
        return QStringLiteral("Select the tasks to move first.");
    QDialog dialog(parent);
    dialog.setWindowTitle(folder ? QStringLiteral("Folder") : QStringLiteral("Project"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(folder ? QStringLiteral("Move to the folder (Project\\Folder):")
                                        : QStringLiteral("Move to the project (empty for none):"),
                                 &dialog));
    auto* edit = new QLineEdit(&dialog);
    edit->setObjectName(QStringLiteral("path_edit"));
    edit->setMinimumWidth(360);
    if (tasks.size() == 1)
        edit->setText(place_path(c, *tasks.front()));
    edit->selectAll();
    auto* completer = new QCompleter(c.paths, edit);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchContains);
    edit->setCompleter(completer);
    layout->addWidget(edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    QString message;
    assign_path(c, tasks, edit->text(), message);
    return message;
}

bool ask_with_box(QWidget* parent, const history::question& q)
{
    QString text = q.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const auto icon = q.warning ? QMessageBox::Warning : QMessageBox::Question;
    QMessageBox box(icon, q.caption, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace qm::ui
