#include "production/ui/FrmProdZeit.h"

#include <QLabel>
#include <algorithm>

#include "common/datafiles.h"
#include "common/readfile.h"
#include "common/ui/Controls.h"
#include "common/ui/DataFileSave.h"
#include "common/ui/FormEvents.h"
#include "production/ProduktionDat.h"

namespace krvx {

namespace {

constexpr int kZeilen[kZeilenAnzahl] = {435, 810, 1170, 1545, 1920};
constexpr int kLabelZeilen[kZeilenAnzahl] = {480, 855, 1215, 1590, 1965};
constexpr int kBoxHoehe = 285;
constexpr int kBoxBreite = 1215;

// How each box reads a number: docs/number-rules.md.
struct Zeile {
    const char* label;
    const char* caption;
    const char* produktion; // leading number, its first comma taken as the point
    const char* tooltip;
    const char* ziel; // as produktion; in amount mode a result by the regional rule
    const char* zeit; // result only: hours and minutes
    const char* zeile; // the row's caption in the boxes' names ("Erz Zielmenge")
};

constexpr Zeile kZeilenNamen[kZeilenAnzahl] = {
    {"LblErz", "Erz:", "TxtErz", "Menge Erz pro Stunde", "TxtZErz", "TxtZeitErz", "Erz"},
    {"LblAlu", "Aluminium:", "TxtAlu", "Menge Aluminium pro Stunde", "TxtZAlu", "txtZeitAlu", "Aluminium"},
    {"LblLeg", "Legierungen:", "TxtLeg", "Menge Legierungen pro Stunde", "TxtZLeg", "txtZeitLeg", "Legierungen"},
    {"LblKri", "Kristalle:", "TxtKri", "Menge Kristalle pro Stunde", "TxtZKri", "TxtZeitKri", "Kristalle"},
    {"LblEne", "Energie:", "TxtEne", "Menge Energie pro Stunde", "TxtZEne", "TxtZeitEne", "Energie"},
};

} // namespace

FrmProdZeit::FrmProdZeit(Services& services)
    : FormWindow(services, kFrmProdZeit, QStringLiteral("Produktionszeiten"), 5760, 2880) {
    makeLabel(this, "LblProduktion", QStringLiteral("Produktion pro Stunde:"), {240, 120, 0, 0});
    makeLabel(this, "LblZiel", QStringLiteral("Zielmenge:"), {2880, 120, 0, 0});
    makeLabel(this, "LblZeit", QStringLiteral("Dauer:"), {5040, 120, 0, 0});
    for (std::size_t i = 0; i < kZeilenAnzahl; ++i) {
        makeLabel(this, kZeilenNamen[i].label, toQ(kZeilenNamen[i].caption), {240, kLabelZeilen[i], 0, 0});
    }

    // Created in the tab order: production, target, time boxes, hours, check box.
    // Every box reads a comma as well as a point, so the numpad's decimal key
    // types what the keyboard gives.
    const QString zielTip = QStringLiteral("Zu erreichende Menge bzw. erreichte Menge");
    const QString zeitTip = QStringLiteral("Zeit bis Zielmenge erreicht ist");
    for (std::size_t i = 0; i < kZeilenAnzahl; ++i) {
        produktion_[i] = makeTextBox(this, kZeilenNamen[i].produktion, QStringLiteral("0"),
                                     {1440, kZeilen[i], kBoxBreite, kBoxHoehe}, toQ(kZeilenNamen[i].tooltip));
    }
    for (std::size_t i = 0; i < kZeilenAnzahl; ++i) {
        ziel_[i] =
            makeTextBox(this, kZeilenNamen[i].ziel, QStringLiteral("0"), {2880, kZeilen[i], kBoxBreite, kBoxHoehe},
                        zielTip, toQ(kZeilenNamen[i].zeile) + QStringLiteral(" Zielmenge"));
    }
    for (std::size_t i = 0; i < kZeilenAnzahl; ++i) {
        zeit_[i] =
            makeTextBox(this, kZeilenNamen[i].zeit, QStringLiteral("0"), {4320, kZeilen[i], kBoxBreite, kBoxHoehe},
                        zeitTip, toQ(kZeilenNamen[i].zeile) + QStringLiteral(" Dauer"));
        setReadOnlyBox(zeit_[i]);
    }
    txtDauer_ =
        makeTextBox(this, "TxtDauer", QString(), {4800, 2385, 735, kBoxHoehe}, QStringLiteral("Stunden Produktion"));
    chkFest_ = makeCheckBox(this, "ChkFest", QStringLiteral("Produktionszeit in Stunden:"), {2160, 2400, 2295, 255},
                            QStringLiteral("Menge an Ressourcen nach einer Anzahl Stunden zeigen"));
    // The caption stays whole where the style's check mark takes more room
    // than the window was drawn for; TxtDauer leaves space to the right.
    chkFest_->resize(std::max(chkFest_->width(), chkFest_->sizeHint().width()), chkFest_->height());
    setFocusChain({produktion_[0], produktion_[1], produktion_[2], produktion_[3], produktion_[4], ziel_[0], ziel_[1],
                   ziel_[2], ziel_[3], ziel_[4], zeit_[0], zeit_[1], zeit_[2], zeit_[3], zeit_[4], txtDauer_,
                   chkFest_});
    modusSetzen();

    OncePerActionMessages& messages = services.messages;
    for (QLineEdit* box : produktion_) {
        onLostFocus(box, messages, [this] {
            if (!mengenModus()) zeitenBerechnen();
        });
    }
    for (QLineEdit* box : ziel_) onLostFocus(box, messages, [this] { zeitenBerechnen(); });
    onLostFocus(txtDauer_, messages, [this] { mengenBerechnen(); });
    onClick(chkFest_, messages, [this] {
        modusSetzen();
        if (mengenModus()) mengenBerechnen();
    });
}

void FrmProdZeit::load() {
    const std::optional<ProduktionGelesen> gelesen =
        loadDataFile(services().file(kProduktionDat), parseProduktion).ifRead();
    if (!gelesen) return;
    for (std::size_t i = 0; i < kZeilenAnzahl; ++i) {
        if (gelesen->produktion[i]) setBoxText(produktion_[i], toQ(*gelesen->produktion[i]));
        if (gelesen->ziel[i]) setBoxText(ziel_[i], toQ(*gelesen->ziel[i]));
    }
    if (gelesen->dauer) setBoxText(txtDauer_, toQ(*gelesen->dauer));
}

void FrmProdZeit::unload() {
    const ProduktionEingaben eingaben{texte(produktion_), texte(ziel_), fromQ(txtDauer_->text())};
    saveAndTell(services(), kProduktionDat, produktionContent(eingaben), false, SaveNotice::ForeignLink);
}

void FrmProdZeit::setZielmengen(const FuenfTexte& texte) {
    for (std::size_t i = 0; i < kZeilenAnzahl; ++i) setBoxText(ziel_[i], toQ(texte[i]));
}

void FrmProdZeit::zeitenBerechnen() {
    FuenfTexte zeiten = texte(zeit_);
    produktionszeitBerechnen(texte(produktion_), texte(ziel_), zeiten);
    schreiben(zeit_, zeiten);
}

void FrmProdZeit::mengenBerechnen() {
    std::string dauer = fromQ(txtDauer_->text());
    FuenfTexte ziele = texte(ziel_);
    krvx::mengenBerechnen(dauer, texte(produktion_), ziele, services().regional);
    setBoxTextIfChanged(txtDauer_, toQ(dauer));
    schreiben(ziel_, ziele);
}

void FrmProdZeit::modusSetzen() {
    const bool mengen = mengenModus();
    for (QLineEdit* box : ziel_) setReadOnlyBox(box, mengen);
    setReadOnlyBox(txtDauer_, !mengen);
}

FuenfTexte FrmProdZeit::texte(const std::array<QLineEdit*, kZeilenAnzahl>& boxen) const {
    FuenfTexte out;
    for (std::size_t i = 0; i < kZeilenAnzahl; ++i) out[i] = fromQ(boxen[i]->text());
    return out;
}

void FrmProdZeit::schreiben(const std::array<QLineEdit*, kZeilenAnzahl>& boxen, const FuenfTexte& texte) {
    for (std::size_t i = 0; i < kZeilenAnzahl; ++i) setBoxTextIfChanged(boxen[i], toQ(texte[i]));
}

FrmProdZeit* zielmengenUebernehmen(WindowRegistry& windows, const FuenfTexte& texte) {
    FrmProdZeit* form = windows.show<FrmProdZeit>(kFrmProdZeit);
    if (form) form->setZielmengen(texte);
    return form;
}

} // namespace krvx
