#include "Form1.h"

#include "WindowUnits.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <iterator>

namespace recorder {
namespace {

struct Choice {
    const char* text;
    int value;
};

constexpr Choice kChannels[] = {{"Mono", 1}, {"Stereo", 2}};
constexpr Choice kBits[] = {{"8 bit", 8}, {"16 bit", 16}};
constexpr Choice kRates[] = {{"8 khz", 8000},   {"11.025 khz", 11025}, {"12 khz", 12000},
                             {"16 khz", 16000}, {"22.05 khz", 22050},  {"24 khz", 24000},
                             {"32 khz", 32000}, {"44.1 khz", 44100},   {"48 khz", 48000}};

struct Preset {
    const char* simplified;
    const char* traditional;
    const char* channels; // nullptr: leave the lists as they are
    const char* bits;
    const char* rate;
};

constexpr Preset kPresets[] = {
    {"无需推荐", "無需推薦", nullptr, nullptr, nullptr},
    {"CD音质", "CD音質", "Stereo", "16 bit", "44.1 khz"},
    {"收音质量", "收音品質", "Mono", "16 bit", "22.05 khz"},
    {"电话质量", "電話品質", "Mono", "16 bit", "11.025 khz"},
};

// Left, top, width and height in twips; the labels, lists and line are
// placed inside the frame. Lists and labels are as tall as a list of this
// font, which keeps the line below the third list clear of it.
constexpr int kListHeight = 420;

using W = Form1;
using platform::control;

constexpr platform::LayoutRow<W> kPlaces[] = {
    {control<&W::Frame1>, 120, 0, 5175, 3495},
    {control<&W::Label1>, 960, 480, 735, kListHeight},
    {control<&W::Combo1>, 1920, 480, 2055, kListHeight},
    {control<&W::Label2>, 960, 1080, 855, kListHeight},
    {control<&W::Combo2>, 1920, 1080, 2055, kListHeight},
    {control<&W::Label3>, 960, 1680, 855, kListHeight},
    {control<&W::Combo3>, 1920, 1680, 2055, kListHeight},
    {control<&W::Line1>, 480, 2160, 3960, 15},
    {control<&W::Label4>, 960, 2280, 1815, kListHeight},
    {control<&W::Combo4>, 1320, 2760, 3015, kListHeight},
    {control<&W::Command2>, 240, 3600, 1275, 735},
    {control<&W::Command1>, 3840, 3600, 1335, 735},
};

// The window opens in Simplified script whatever the recorder shows; these
// follow the recorder's script buttons while it is loaded.
constexpr platform::CaptionRow<W> kCaptions[] = {
    {platform::itself<W>, "设置", "設置"},           {control<&W::Label1>, "声道", "聲道"},
    {control<&W::Label2>, "位数", "位數"},           {control<&W::Label3>, "频率", "頻率"},
    {control<&W::Label4>, "推荐音质:", "推薦音質:"}, {control<&W::Command1>, "应  用", "應  用"},
};

template <std::size_t N> void fill(QComboBox* box, const Choice (&choices)[N]) {
    for (const Choice& c : choices)
        box->addItem(QString::fromLatin1(c.text));
    box->setCurrentIndex(0);
}

// The value of the entry a list shows (the lists hold the choices in
// order); `value` stays as it is when none is shown.
template <std::size_t N> void store(const QComboBox* box, const Choice (&choices)[N], int& value) {
    if (const int at = box->currentIndex(); at >= 0 && at < int(N))
        value = choices[at].value;
}

} // namespace

Form1::Form1(RecordFormat current, bool simplified, QWidget* parent)
    : QDialog(parent), format_(current) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("设置"));
    QFont font(QStringLiteral("宋体"));
    font.setPointSizeF(14.25);
    font.setBold(true);
    setFont(font);

    Frame1 = platform::named<QGroupBox>("Frame1", this);
    Label1 = platform::named<QLabel>("Label1", QStringLiteral("声道"), Frame1);
    Combo1 = platform::named<QComboBox>("Combo1", Frame1);
    Label2 = platform::named<QLabel>("Label2", QStringLiteral("位数"), Frame1);
    Combo2 = platform::named<QComboBox>("Combo2", Frame1);
    Label3 = platform::named<QLabel>("Label3", QStringLiteral("频率"), Frame1);
    Combo3 = platform::named<QComboBox>("Combo3", Frame1);
    Line1 = platform::named<QFrame>("Line1", Frame1);
    Line1->setFrameShape(QFrame::HLine);
    Line1->setStyleSheet(QStringLiteral("color: grey;"));
    Label4 = platform::named<QLabel>("Label4", QStringLiteral("推荐音质:"), Frame1);
    Combo4 = platform::named<QComboBox>("Combo4", Frame1);
    Command2 = platform::named<QPushButton>("Command2", QStringLiteral("取  消"), this);
    Command1 = platform::named<QPushButton>("Command1", QStringLiteral("应  用"), this);

    const double dpi = logicalDpiX();
    platform::layOut(*this, kPlaces);
    setFixedSize(platform::twipsToPixels(5355, dpi), platform::twipsToPixels(4515, dpi));

    // Load.
    fill(Combo1, kChannels);
    fill(Combo2, kBits);
    fill(Combo3, kRates);
    for (const Preset& p : kPresets)
        Combo4->addItem(QString::fromUtf8(simplified ? p.simplified : p.traditional));
    connect(Combo4, &QComboBox::currentIndexChanged, this, &Form1::Combo4_Click);
    Combo4->setCurrentIndex(0);

    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
}

void Form1::applyCaptions(bool simplified) {
    platform::applyCaptions(*this, kCaptions, simplified);
}

void Form1::Combo4_Click() {
    const int index = Combo4->currentIndex();
    if (index < 1 || index >= int(std::size(kPresets)))
        return;
    const Preset& p = kPresets[index];
    Combo1->setCurrentText(QString::fromLatin1(p.channels));
    Combo2->setCurrentText(QString::fromLatin1(p.bits));
    Combo3->setCurrentText(QString::fromLatin1(p.rate));
}

void Form1::Command1_Click() {
    store(Combo1, kChannels, format_.channels);
    store(Combo2, kBits, format_.bits);
    store(Combo3, kRates, format_.rate);
    accept();
}

// The close box rejects too, so it leaves the format as it was.
void Form1::Command2_Click() {
    reject();
}

} // namespace recorder
