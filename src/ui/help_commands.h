#pragma once
// The Help menu's own parts: the About box (version, licence, data folder)
// and the switch that turns the program's tooltips off and on again.

#include <QObject>
#include <QString>

class QWidget;

namespace qm::ui {

// The licence the program is distributed under, as About names it.
QString licence_text();
// The About box's text: the version, the licence and where the data lives.
QString about_text(const QString& version, const QString& data_folder);
void show_about(QWidget* parent, const QString& version, const QString& data_folder);

// Eats every tooltip of the application while tooltips are off.
class tooltip_switch : public QObject {
    Q_OBJECT
public:
    explicit tooltip_switch(QObject* parent = nullptr);
    ~tooltip_switch() override;
    bool on() const { return on_; }
    void set_on(bool on);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool on_ = true;
};

}  // namespace qm::ui
