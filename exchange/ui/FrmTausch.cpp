#include "exchange/ui/FrmTausch.h"

#include <QScopedValueRollback>
#include <QTimer>

#include "common/datafiles.h"
#include "common/readfile.h"
#include "common/ui/Controls.h"
#include "common/ui/DataFileSave.h"
#include "common/ui/FormEvents.h"
#include "common/ui/NumpadDecimal.h"
#include "common/ui/Twips.h"
#include "common/ui/WindowRegistry.h"
#include "exchange/TauschBerechnen.h"

namespace krvx {

namespace {

const QString kMengeTip = QStringLiteral("Menge, die getauscht werden soll");
const QString kAnteilTip = QStringLiteral("Anteil der ursprünglichen Rohstoffe werden in diese Ware umgewandelt");

// How each box reads a number: docs/number-rules.md.
struct Zeile {
    const char* label;
    const char* caption;
    Place labelPlace;
    const char* box; // regional number; in the five amounts each '.' first becomes the decimal separator
    int top;
    const char* result; // result only, written by the regional rule
    const char* percent;
    Place percentPlace;
};

// The rows of both frames: Erz ... Ene, then Credits.
const std::array<Zeile, 6> kZeilen{{
    {"LblErz", "Erz:", {120, 285, 270, 195}, "TxtErz", 240, "TxtResErz", "LblPerErz", {2760, 285, 390, 195}},
    {"LblAlu", "Aluminium:", {120, 660, 750, 195}, "TxtAlu", 615, "TxtResAlu", "LblPerAlu", {2760, 675, 390, 195}},
    {"LblLeg", "Legierungen:", {120, 1020, 930, 195}, "TxtLeg", 975, "TxtResLeg", "LblPerLeg", {2760, 1035, 390, 195}},
    {"LblKri", "Kristalle:", {120, 1395, 585, 195}, "TxtKri", 1350, "TxtResKri", "LblPerKri", {2760, 1395, 390, 195}},
    {"LblEne", "Energie:", {120, 1770, 585, 195}, "TxtEne", 1725, "TxtResEne", "LblPerEne", {2760, 1755, 390, 195}},
    {"LblCredits",
     "Credits:",
     {120, 2160, 525, 195},
     "TxtCredits",
     2160,
     "TxtResCred",
     "LblPerCred",
     {2760, 2160, 495, 255}},
}};

// The whole text selected, the cursor at its start: a long number shows its
// first digits.
void selectAll(QLineEdit* box) {
    const int length = static_cast<int>(box->text().size());
    box->setSelection(length, -length);
}

// What a sighted user reads beside a box: its row's label, then its frame's
// caption ("Erz Benötigte Menge").
QString boxName(const QGroupBox* frame, const char* rowCaption) {
    QString row = QString::fromUtf8(rowCaption);
    QString column = frame->title();
    row.chop(row.endsWith(QLatin1Char(':')) ? 1 : 0);
    column.chop(column.endsWith(QLatin1Char(':')) ? 1 : 0);
    return row + QLatin1Char(' ') + column;
}

} // namespace

FrmTausch::FrmTausch(Services& services)
    : FormWindow(services, kFrmTausch, QStringLiteral("Tauschrechner"), 6060, 4185) {
    OncePerActionMessages& messages = services.messages;

    auto* frmAktion1 = makeFrame(this, "FrmAktion1", QStringLiteral("1. Aktion"), {720, 120, 1935, 1095});
    optKauf_ = makeOption(frmAktion1, "OptKauf", QStringLiteral("Ankauf"), {120, 240, 1335, 255});
    optVerkauf_ = makeOption(frmAktion1, "OptVerkauf", QStringLiteral("Verkauf"), {120, 480, 1335, 255});
    optRH_ = makeOption(frmAktion1, "OptRH", QStringLiteral("Rohstoffhändler"), {120, 720, 1695, 255});
    optKauf_->setChecked(true);

    frmTauschen_ = makeFrame(this, "FrmTauschen", QStringLiteral("Benötigte Menge:"), {360, 1320, 2655, 2655});
    frmErhalten_ = makeFrame(this, "FrmErhalten", QStringLiteral("Zu verkaufende Menge:"), {3720, 1320, 2055, 2655});
    for (std::size_t row = 0; row < kZeilen.size(); ++row) {
        const Zeile& z = kZeilen[row];
        const bool resource = row < kRessourcen;
        makeLabel(frmTauschen_, z.label, QString::fromUtf8(z.caption), z.labelPlace);
        boxes_[row] = makeTextBox(frmTauschen_, z.box, QStringLiteral("0"), {1320, z.top, 1215, 285},
                                  resource ? kMengeTip : QString(), boxName(frmTauschen_, z.caption));
        readsRegionalDecimal(boxes_[row], services.regional);
        boxes_[row + 6] = makeTextBox(frmErhalten_, z.result, QStringLiteral("0"), {120, z.top, 1215, 285}, {},
                                      boxName(frmErhalten_, z.caption));
        // Beyond the frame's right edge: never seen, never touched.
        makeLabel(frmErhalten_, z.percent, QStringLiteral("100%"), z.percentPlace)
            ->setToolTip(resource ? kAnteilTip : QString());
    }

    auto* frmAktion2 = makeFrame(this, "FrmAktion2", QStringLiteral("2. Aktion"), {3720, 120, 2055, 1095});
    opt2Kauf_ = makeOption(frmAktion2, "Opt2Kauf", QStringLiteral("Ankauf"), {120, 240, 1335, 255});
    opt2Verkauf_ = makeOption(frmAktion2, "Opt2Verkauf", QStringLiteral("Verkauf"), {120, 480, 1335, 255});
    opt2Rh_ = makeOption(frmAktion2, "Opt2Rh", QStringLiteral("Rohstoffhändler"), {120, 720, 1695, 255});
    opt2Verkauf_->setChecked(true);
    for (QRadioButton* option : {opt2Kauf_, opt2Verkauf_, opt2Rh_}) option->setEnabled(false);

    for (QGroupBox* frame : {frmAktion1, frmTauschen_, frmErhalten_, frmAktion2}) frame->setFocusPolicy(Qt::NoFocus);
    setFocusChain({optKauf_, optVerkauf_, optRH_, boxes_[0], boxes_[1], boxes_[2], boxes_[3], boxes_[4], boxes_[5],
                   boxes_[6], boxes_[7], boxes_[8], boxes_[9], boxes_[10], boxes_[11], opt2Kauf_, opt2Verkauf_,
                   opt2Rh_});

    // A direction picks the opposite one for the second row, and the frames say what they hold.
    const auto onDirection = [&](QRadioButton* option, QRadioButton* second, QString tauschen, QString erhalten) {
        onClick(option, messages, [=, this] {
            second->setChecked(true);
            frmTauschen_->setTitle(tauschen);
            frmErhalten_->setTitle(erhalten);
            nameBoxes();
            TauschBerechnen();
        });
    };
    onDirection(optKauf_, opt2Verkauf_, QStringLiteral("Benötigte Menge:"), QStringLiteral("Zu verkaufende Menge:"));
    onDirection(optVerkauf_, opt2Kauf_, QStringLiteral("Überschüssige Menge:"), QStringLiteral("Kaufbare Menge:"));
    onClick(optRH_, messages, [this] {
        opt2Rh_->setChecked(true);
        TauschBerechnen();
    });
    for (int f = 0; f <= static_cast<int>(Feld::Credits); ++f) {
        onChange(boxes_[static_cast<std::size_t>(f)], messages, [this] { TauschBerechnen(); });
    }
    for (int f = 0; f < static_cast<int>(Feld::ResCred); ++f) {
        QLineEdit* box = boxes_[static_cast<std::size_t>(f)];
        onGotFocus(box, messages, [box] {
            selectAll(box);
            // A mouse click places the cursor after the focus has arrived.
            QTimer::singleShot(0, box, [box] {
                if (box->hasFocus()) selectAll(box);
            });
        });
    }
    QLineEdit* resCred = boxes_[static_cast<std::size_t>(Feld::ResCred)];
    onChange(resCred, messages, [resCred] { selectAll(resCred); });
}

void FrmTausch::load() {
    UserAction action(services().messages);
    services().tausch.reportFailuresAgain();
    const auto parse = [this](std::string text) { return parseTauschDat(std::move(text), services().regional); };
    if (auto amounts = loadDataFile(services().file(kTauschDat), parse).ifRead()) setMengen(*amounts);
    raiseMenu();
    placeOverMenu();
}

void FrmTausch::unload() {
    Mengen amounts;
    for (int r = 0; r < kRessourcen; ++r) amounts[static_cast<std::size_t>(r)] = text(mengenFeld(r));
    // The window closes whether or not the file could be written.
    saveAndTell(services(), kTauschDat, tauschDatContent(amounts, services().tausch.Kursvermerk(), services().regional),
                false, SaveNotice::ForeignLink);
    raiseMenu();
}

void FrmTausch::setMengen(const Mengen& amounts) {
    for (int r = 0; r < kRessourcen; ++r) setText(mengenFeld(r), amounts[static_cast<std::size_t>(r)]);
}

void FrmTausch::uebernehmen(const Mengen& amounts) {
    UserAction action(services().messages);
    setMengen(amounts);
    optKauf_->click();
}

std::string FrmTausch::text(Feld field) const {
    return fromQ(boxes_[static_cast<std::size_t>(field)]->text());
}

void FrmTausch::setText(Feld field, std::string_view text) {
    setBoxText(boxes_[static_cast<std::size_t>(field)], toQ(text));
}

void FrmTausch::nameBoxes() {
    for (std::size_t row = 0; row < kZeilen.size(); ++row) {
        boxes_[row]->setAccessibleName(boxName(frmTauschen_, kZeilen[row].caption));
        boxes_[row + 6]->setAccessibleName(boxName(frmErhalten_, kZeilen[row].caption));
    }
}

std::optional<Aktion> FrmTausch::aktion() const {
    if (optKauf_->isChecked()) return Aktion::Kauf;
    if (optVerkauf_->isChecked()) return Aktion::Verkauf;
    if (optRH_->isChecked()) return Aktion::RH;
    return std::nullopt;
}

void FrmTausch::TauschBerechnen() {
    // The computation's own writes into the input boxes would run it again,
    // nested, to the same results and the same boxes, which one action shows
    // once: one run does it all.
    if (computing_) return;
    const QScopedValueRollback running(computing_, true);
    services().messages.show(krvx::TauschBerechnen(*this, services().tausch, services().regional));
}

void FrmTausch::raiseMenu() {
    if (FormWindow* menu = services().windows.window(kFrmMenu)) menu->raise();
}

void FrmTausch::placeOverMenu() {
    placeCentred(services().windows.window(kFrmMenu));
}

} // namespace krvx
