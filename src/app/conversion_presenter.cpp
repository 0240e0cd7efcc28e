#include "app/conversion_presenter.h"

#include <cstdio>

namespace qm::app {
namespace {

void print(const QString& text)
{
    const QByteArray out = (text + QLatin1Char('\n')).toLocal8Bit();
    std::fwrite(out.constData(), 1, static_cast<std::size_t>(out.size()), stderr);
    std::fflush(stderr);
}

// Without windows nobody can answer the backup question: the safe answer is
// to change nothing.
class stderr_presenter : public conversion_presenter {
public:
    void progress(const QString& step, int number, int count) override
    {
        print(QStringLiteral("%1 (%2 of %3)").arg(step).arg(number).arg(count));
    }
    void finished() override {}
    store::backup_answer backup_failed(const QString& caption, const QString& text) override
    {
        print(caption + QLatin1Char('\n') + text);
        return store::backup_answer::cancel;
    }
    void show_notice(const QString& caption, const QString& text) override { print(caption + QLatin1Char('\n') + text); }
};

std::shared_ptr<conversion_presenter>& presenter()
{
    static std::shared_ptr<conversion_presenter> p = std::make_shared<stderr_presenter>();
    return p;
}

}  // namespace

void set_conversion_presenter(std::shared_ptr<conversion_presenter> p)
{
    presenter() = p ? std::move(p) : std::make_shared<stderr_presenter>();
}

conversion_presenter& current_conversion_presenter() { return *presenter(); }

}  // namespace qm::app
