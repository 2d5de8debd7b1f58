#include "router/ui/Error.h"

#include "platform/ui/Tr.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QRect>
#include <QStyle>
#include <algorithm>

namespace {

// The dialog is laid out in dialog units: a quarter of the font's average
// character width across, an eighth of its height down.
class DialogUnits
{
public:
    explicit DialogUnits(const QFontMetrics& metrics)
        : x_(metrics.averageCharWidth()), y_(metrics.height())
    {
    }
    int x(int units) const { return units * x_ / 4; }
    int y(int units) const { return units * y_ / 8; }
    QRect rect(int left, int top, int width, int height) const
    {
        return QRect(x(left), y(top), x(width), y(height));
    }

private:
    int x_;
    int y_;
};

struct Placed
{
    int left, top, width, height;
};

constexpr Placed kLabelPlaces[4] = {
    {16, 15, 236, 24}, {16, 42, 240, 23}, {16, 71, 238, 27}, {54, 118, 181, 15}};
constexpr Placed kOkPlace{105, 135, 50, 14};
constexpr int kWidth = 272;
constexpr int kHeight = 174;

} // namespace

const char* const Error::kTexts[4] = {
    QT_TRANSLATE_NOOP(
        "velmora", QT_TRANSLATE_NOOP(
                       "velmora", QT_TRANSLATE_NOOP(
                                      "velmora", "Failed to find your router. Please try to "
                                                 "login your router, then enable UPnP or NAT-PMP "
                                                 "option and try again."))),
    QT_TRANSLATE_NOOP(
        "velmora",
        QT_TRANSLATE_NOOP(
            "velmora",
            QT_TRANSLATE_NOOP("velmora", "If the UPnP or NAT-PMP option is enabled and you still "
                                         "see the problem, please try to "
                                         "disable the firewall of your computer and try again. "))),
    QT_TRANSLATE_NOOP(
        "velmora",
        QT_TRANSLATE_NOOP(
            "velmora", QT_TRANSLATE_NOOP("velmora", "If you still see the problem, that means our "
                                                    "tool can not detect your router due to some "
                                                    "network configuration reason. "))),
    QT_TRANSLATE_NOOP(
        "velmora",
        QT_TRANSLATE_NOOP(
            "velmora",
            QT_TRANSLATE_NOOP("velmora", "Pls click OK button to rescan your router again")))};

Error::Error(QWidget* parent) : QDialog(parent)
{
    setObjectName("routerNotFoundDialog");
    setWindowTitle(tr("Error"));
    DialogUnits units(fontMetrics());

    // Fonts and languages differ from the template's: a text that needs more
    // lines than its box holds grows downwards into the gap below it, and
    // what lies below moves down when the gap is not enough.
    int shift = 0;
    int previousBottom = 0;
    auto place = [&](const Placed& p, int height) {
        QRect box = units.rect(p.left, p.top, p.width, p.height).translated(0, shift);
        const int overlap = previousBottom + units.y(2) - box.top();
        if (previousBottom > 0 && overlap > 0) {
            shift += overlap;
            box.translate(0, overlap);
        }
        box.setHeight(std::max(box.height(), height));
        previousBottom = box.bottom();
        return box;
    };
    for (int i = 0; i < 4; ++i) {
        auto* label = new QLabel(velmora::Tr(kTexts[i]), this);
        label->setObjectName(QString("routerNotFoundText%1").arg(i + 1));
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        const Placed& p = kLabelPlaces[i];
        label->setGeometry(place(p, label->heightForWidth(units.x(p.width))));
    }

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName("okButton");
    ok->setDefault(true);
    // Wider, to the right, when its text needs more than the template's width.
    QRect okBox = place(kOkPlace, 0);
    const int margins = 2 * ok->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, ok);
    okBox.setWidth(std::max(
        okBox.width(), ok->fontMetrics().size(Qt::TextShowMnemonic, ok->text()).width() + margins));
    ok->setGeometry(okBox);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    setFixedSize(units.x(kWidth), units.y(kHeight) + shift);
}
