#include "production/ProduktionDat.h"

#include <vector>

#include "common/fields.h"

namespace krvx {

namespace {

bool istLuecke(char c) { return c == ' ' || c == '\t'; }
bool istZeilenende(char c) { return c == '\r' || c == '\n'; }

// The unquoted form ends a value at a blank, a tab, a comma or a line end,
// and takes a leading double quote for the start of a quoted value.
bool brauchtAnfuehrung(std::string_view text, bool alleinInZeile) {
    if (text.empty()) return !alleinInZeile;
    for (char c : text) {
        if (istLuecke(c) || istZeilenende(c) || c == ',' || c == '"') return true;
    }
    return false;
}

std::string dateiForm(std::string_view text, bool alleinInZeile) {
    if (!brauchtAnfuehrung(text, alleinInZeile)) return std::string(text);
    std::string out = "\"";
    for (char c : text) {
        out += c;
        if (c == '"') out += '"';
    }
    out += '"';
    return out;
}

void fuenfSchreiben(PrintWriter& writer, const FuenfTexte& texte) {
    for (const std::string& text : texte) writer.text(dateiForm(text, false));
    writer.endLine();
}

class ZeilenLeser {
public:
    explicit ZeilenLeser(std::string_view content) : s_(content) {}

    bool amEnde() const { return pos_ >= s_.size(); }

    // All values of the next line; the line end is consumed.
    std::vector<std::string> zeile() {
        std::vector<std::string> werte;
        lueckenUeberspringen();
        if (zeilenende()) {
            werte.emplace_back();  // an empty line is one empty value
        } else {
            bool nachKomma = false;
            while (true) {
                lueckenUeberspringen();
                if (zeilenende()) {
                    if (nachKomma) werte.emplace_back();
                    break;
                }
                if (s_[pos_] == ',') {
                    werte.emplace_back();
                    ++pos_;
                    nachKomma = true;
                    continue;
                }
                werte.push_back(s_[pos_] == '"' ? angefuehrt() : offen());
                lueckenUeberspringen();
                nachKomma = !zeilenende() && s_[pos_] == ',';
                if (nachKomma) ++pos_;
            }
        }
        zeilenendeUeberspringen();
        return werte;
    }

private:
    bool zeilenende() const { return amEnde() || istZeilenende(s_[pos_]); }

    void lueckenUeberspringen() {
        while (!amEnde() && istLuecke(s_[pos_])) ++pos_;
    }

    void zeilenendeUeberspringen() {
        if (!amEnde() && s_[pos_] == '\r') ++pos_;
        if (!amEnde() && s_[pos_] == '\n') ++pos_;
    }

    bool trennzeichen() const { return zeilenende() || istLuecke(s_[pos_]) || s_[pos_] == ','; }

    std::string offen() {
        const std::size_t start = pos_;
        while (!trennzeichen()) ++pos_;
        return std::string(s_.substr(start, pos_ - start));
    }

    // Runs to the closing quote (a doubled quote is one quote inside, and a
    // value may span line ends); characters between the closing quote and the
    // next separator are dropped.
    std::string angefuehrt() {
        std::string wert;
        ++pos_;
        while (!amEnde()) {
            const char c = s_[pos_++];
            if (c != '"') {
                wert += c;
            } else if (!amEnde() && s_[pos_] == '"') {
                wert += '"';
                ++pos_;
            } else {
                break;
            }
        }
        while (!trennzeichen()) ++pos_;
        return wert;
    }

    std::string_view s_;
    std::size_t pos_ = 0;
};

void uebernehmen(const std::vector<std::string>& werte,
                 std::array<std::optional<std::string>, kZeilenAnzahl>& ziel) {
    for (std::size_t i = 0; i < kZeilenAnzahl && i < werte.size(); ++i) ziel[i] = werte[i];
}

} // namespace

std::string produktionDatText(const ProduktionEingaben& eingaben) {
    PrintWriter writer;
    fuenfSchreiben(writer, eingaben.produktion);
    fuenfSchreiben(writer, eingaben.ziel);
    writer.text(dateiForm(eingaben.dauer, true)).endLine();
    return writer.str();
}

ProduktionGelesen produktionDatLesen(std::string_view content) {
    ProduktionGelesen gelesen;
    ZeilenLeser leser(content);
    if (!leser.amEnde()) uebernehmen(leser.zeile(), gelesen.produktion);
    if (!leser.amEnde()) uebernehmen(leser.zeile(), gelesen.ziel);
    if (!leser.amEnde()) gelesen.dauer = leser.zeile().front();
    return gelesen;
}

std::optional<ProduktionGelesen> produktionDatLaden(const std::filesystem::path& file) {
    const std::optional<std::string> content = readDataFile(file);
    if (!content) return std::nullopt;
    return produktionDatLesen(*content);
}

std::optional<FileError> produktionDatSpeichern(const std::filesystem::path& file,
                                                const ProduktionEingaben& eingaben, FileOps& ops) {
    return saveDataFile(file, produktionDatText(eingaben), ops);
}

} // namespace krvx
