#include "ui/view.h"

#include <QLabel>
#include <QVBoxLayout>

namespace qm::ui {

placeholder_view::placeholder_view(int id, const QString& title, const QString& description,
                                   std::vector<toolbar_button> buttons, QWidget* parent)
    : view(id, title, parent), buttons_(std::move(buttons))
{
    for (auto& b : buttons_)
        b.enabled = false;  // nothing to carry them out yet
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("<h3>%1</h3><p>%2</p>").arg(title.toHtmlEscaped(), description.toHtmlEscaped()),
                             this);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    layout->addWidget(label);
}

}  // namespace qm::ui
