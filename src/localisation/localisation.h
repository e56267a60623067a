#pragma once

#include "localisation/text_table.h"

#include <QString>

#include <optional>

namespace vellumo {

class Settings;

// The texts the program speaks: the built-in Dutch ones, or those of a
// language file. The windows show them; the parts report with them.
class Localisation {
public:
    explicit Localisation(Settings &settings);

    // The texts in use now; empty until a language is loaded.
    TextTable text;

    // Puts back the built-in status messages (entries 2 to 10). Captions
    // stay as they are until the program starts again.
    void LoadDefaultLanguage();

    enum class Outcome {
        Applied, // all 26 lines read: the captions apply now
        Missing, // no such file: the built-in messages are back
        Broken,  // unreadable or short: the lines read before the end took their place
    };
    // Reads the language file at strBestandspad into the text table. A file
    // that is missing or broken is forgotten: the setting "language" is
    // cleared, so the next start speaks Dutch.
    Outcome LoadLanguage(const QString &strBestandspad);

    // The captions of the language file applied last, for windows made
    // later; none while the built-in captions are in use.
    const std::optional<TextTable> &appliedCaptions() const { return appliedCaptions_; }

private:
    Settings &settings_;
    std::optional<TextTable> appliedCaptions_;
};

} // namespace vellumo
