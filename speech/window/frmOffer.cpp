#include "frmOffer.h"

#include "WindowUnits.h"

#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace speech {
namespace {

using W = frmOffer;
using platform::control;

using platform::ScriptText;

constexpr ScriptText kTitle = {"口令训练", "口令訓練"};
constexpr ScriptText kText = {
    "您还没有做过口令训练。\n训练时请跟着说每个口令，每个三遍，大约两分钟。"
    "训练以后，能更准确地听懂您的口令。\n不训练也可以直接说口令，或者用按钮。",
    "您還沒有做過口令訓練。\n訓練時請跟著說每個口令，每個三遍，大約兩分鐘。"
    "訓練以後，能更準確地聽懂您的口令。\n不訓練也可以直接說口令，或者用按鈕。"};
constexpr ScriptText kTrainNow = {"现在训练", "現在訓練"};
constexpr ScriptText kNoThanks = {"不用了", "不用了"};

constexpr platform::LayoutRow<W> kPlaces[] = {
    {control<&W::lblText>, 240, 240, 6960, 2400, {18, true}},
    {control<&W::cmdTrainNow>, 480, 2880, 3000, 855, {18, true}},
    {control<&W::cmdNoThanks>, 3960, 2880, 3000, 855, {18, true}},
};

} // namespace

frmOffer::frmOffer(bool simplified, QWidget* parent) : QDialog(parent) {
    const auto pick = [simplified](const ScriptText& t) {
        return QString::fromUtf8(t.in(simplified));
    };
    setObjectName(QStringLiteral("frmOffer"));
    setWindowTitle(pick(kTitle));
    lblText = new QLabel(pick(kText), this);
    lblText->setObjectName(QStringLiteral("lblText"));
    lblText->setWordWrap(true);
    lblText->setStyleSheet(QStringLiteral("color: rgb(0, 0, 128);"));
    cmdTrainNow = new QPushButton(pick(kTrainNow), this);
    cmdTrainNow->setObjectName(QStringLiteral("cmdTrainNow"));
    cmdNoThanks = new QPushButton(pick(kNoThanks), this);
    cmdNoThanks->setObjectName(QStringLiteral("cmdNoThanks"));
    const double dpi = platform::fitToScreen(*this, 7440, 3960);
    platform::layOut(*this, kPlaces);
    // The text takes the lines it needs at this print size (a narrow face
    // or a large one wraps into more): the buttons and the window make
    // room for them.
    const int grow = std::max(0, lblText->heightForWidth(lblText->width()) - lblText->height());
    lblText->resize(lblText->width(), lblText->height() + grow);
    for (QPushButton* b : {cmdTrainNow, cmdNoThanks})
        b->move(b->x(), b->y() + grow);
    setFixedSize(platform::twipsToPixels(7440, dpi), platform::twipsToPixels(3960, dpi) + grow);
    setStyleSheet(QStringLiteral("#frmOffer { background: rgb(255, 255, 192); }"));
    setAttribute(Qt::WA_StyledBackground);
    cmdTrainNow->setDefault(true);
    cmdTrainNow->setFocus();
    connect(cmdTrainNow, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdNoThanks, &QPushButton::clicked, this, &QDialog::reject);
}

} // namespace speech
