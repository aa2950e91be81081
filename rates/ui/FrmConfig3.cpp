#include "rates/ui/FrmConfig3.h"

#include "common/datafiles.h"
#include "common/readfile.h"
#include "common/ui/Controls.h"
#include "common/ui/DataFileSave.h"
#include "common/ui/FormEvents.h"
#include "common/ui/NumpadDecimal.h"
#include "common/ui/WindowRegistry.h"
#include "rates/Tausch.h"

namespace krvx {
namespace {

constexpr const char* kBoxNames[3][5] = {
    {"TxtErzKauf", "TxtAluKauf", "TxtLegKauf", "TxtKriKauf", "TxtEneKauf"},
    {"TxtErzVerkauf", "TxtAluVerkauf", "TxtLegVerkauf", "TxtKriVerkauf", "TxtEneVerkauf"},
    {"TxtErzRH", "TxtAluRH", "TxtLegRH", "TxtKriRH", "TxtEneRH"},
};
constexpr int kColumnLeft[3] = {1268, 2520, 3720};
// The captions of the rows and columns, which name the fields ("Erz Kaufkurs").
constexpr const char* kRowCaptions[5] = {"Erz", "Aluminium", "Legierungen", "Kristalle", "Energie"};
constexpr const char* kColumnCaptions[3] = {"Kaufkurs", "Verkaufskurs", "RH-Kurs"};
constexpr int kRowTop[5] = {600, 1080, 1560, 2040, 2520};

} // namespace

FrmConfig3::FrmConfig3(Services& services)
    : FormWindow(services, kFrmConfig3, QStringLiteral("Konfiguration"), 4965, 3510) {
    makeLabel(this, "Label1", QStringLiteral("Ressource"), {120, 240, 0, 0});
    makeLabel(this, "Label7", QStringLiteral("Kaufkurs"), {1440, 240, 0, 0});
    makeLabel(this, "Label8", QStringLiteral("Verkaufskurs"), {2542, 240, 0, 0});
    makeLabel(this, "Label9", QStringLiteral("RH-Kurs"), {3907, 240, 0, 0});
    makeLabel(this, "Label2", QStringLiteral("Erz"), {120, 690, 0, 0});
    QLabel* aluminium = makeLabel(this, "Label3", QStringLiteral("Aluminium"), {120, 1125, 735, 255});
    // The fixed width is a little narrow for this font; the free space up to
    // the first column keeps the caption whole.
    if (aluminium->sizeHint().width() > aluminium->width()) {
        aluminium->resize(aluminium->sizeHint().width(), aluminium->height());
    }
    makeLabel(this, "Label4", QStringLiteral("Legierungen"), {120, 1635, 0, 0});
    makeLabel(this, "Label5", QStringLiteral("Kristalle"), {120, 2070, 0, 0});
    makeLabel(this, "Label6", QStringLiteral("Energie"), {120, 2520, 0, 0});

    for (int record = 0; record < 3; ++record) {
        for (int resource = 0; resource < 5; ++resource) {
            boxes_[record][resource] = makeTextBox(this, kBoxNames[record][resource], QStringLiteral("0"),
                                                   {kColumnLeft[record], kRowTop[resource], 975, 285}, {},
                                                   QString::fromUtf8(kRowCaptions[resource]) + QLatin1Char(' ') +
                                                       QString::fromUtf8(kColumnCaptions[record]));
            readsRegionalDecimal(boxes_[record][resource], services.regional);
        }
    }
    cmdSchiffe_ = makeButton(this, "CmdSchiffe", QStringLiteral("Truppen editieren"), {3000, 3000, 1695, 375});
    onClick(cmdSchiffe_, services.messages, [this] { this->services().windows.show(kFrmConfig2); });

    // Reading order: each resource's three rates left to right, row after row.
    QWidget* previous = nullptr;
    for (int resource = 0; resource < 5; ++resource) {
        for (int record = 0; record < 3; ++record) {
            if (previous) QWidget::setTabOrder(previous, boxes_[record][resource]);
            previous = boxes_[record][resource];
        }
    }
    QWidget::setTabOrder(previous, cmdSchiffe_);

    setEscapeCloses();
    // No owner: centred on the screen.
    placeCentred();
}

void FrmConfig3::load() {
    showFile();
    // From here on what the player types is on disk soon after.
    quietSave_ = new QuietSave(this, [this] { saveQuietly(); });
    for (const auto& column : boxes_) {
        for (QLineEdit* box : column) connect(box, &QLineEdit::textChanged, quietSave_, &QuietSave::changed);
    }
}

void FrmConfig3::showFile() {
    const auto parse = [this](const std::string& text) { return parseCreditkurse(text, services().regional); };
    const FileData<CreditRateTexts> texts = loadDataFile(services().file(kCreditkurseDat), parse);
    if (texts.state != FileState::Read) {
        // The fields keep their "0"; a file that is there is not replaced by them.
        if (texts.state == FileState::Unreadable) shownForUnreadFile_ = fieldTexts();
        return;
    }
    for (int record = 0; record < 3; ++record) {
        for (int resource = 0; resource < 5; ++resource) {
            setBoxText(boxes_[record][resource], toQ(texts.data[record][resource]));
        }
    }
}

CreditRateTexts FrmConfig3::fieldTexts() const {
    CreditRateTexts texts;
    for (int record = 0; record < 3; ++record) {
        for (int resource = 0; resource < 5; ++resource) {
            texts[record][resource] = fromQ(boxes_[record][resource]->text());
        }
    }
    return texts;
}

void FrmConfig3::saveQuietly() {
    // The close's rules, without a word: a failure is left to the close to report.
    if (shownForUnreadFile_ && fieldTexts() == *shownForUnreadFile_) return;
    if (!saveAndTell(services(), kCreditkurseDat, creditkurseContent(fieldTexts(), services().regional), false,
                     SaveNotice::Quiet)
             .written())
        return;
    shownForUnreadFile_.reset(); // the file now holds what the fields show
    services().tausch.ratesSaved();
}

void FrmConfig3::unload() {
    if (quietSave_) quietSave_->cancel();
    // Closing is saving; a file that cannot be written stays as it was, and
    // the player learns that his rates were not kept.
    // A file that could not be read is replaced only by rates the player typed.
    if (shownForUnreadFile_ && fieldTexts() == *shownForUnreadFile_) return;
    if (saveAndTell(services(), kCreditkurseDat, creditkurseContent(fieldTexts(), services().regional), false,
                    SaveNotice::Failure)
            .written())
        services().tausch.ratesSaved();
}

} // namespace krvx
