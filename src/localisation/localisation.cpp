#include "localisation/localisation.h"

#include "app/settings.h"
#include "localisation/language_file.h"

namespace vellumo {

Localisation::Localisation(Settings &settings)
    : settings_(settings)
{
}

void Localisation::LoadDefaultLanguage()
{
    const TextTable &builtIn = builtInTexts();
    for (int line = 2; line <= 10; ++line)
        text.entry(line) = builtIn.entry(line);
}

Localisation::Outcome Localisation::LoadLanguage(const QString &strBestandspad)
{
    const LanguageFile file = readLanguageFile(strBestandspad);
    if (file.status == LanguageFile::Status::Missing) {
        settings_.setLanguage(QString());
        LoadDefaultLanguage();
        return Outcome::Missing;
    }

    // Each line takes its entry as it is read, so a short file leaves the
    // lines before its end in place.
    for (int i = 0; i < file.lines.size(); ++i)
        text.entry(i + 1) = file.lines.at(i);

    if (file.status != LanguageFile::Status::Complete) {
        settings_.setLanguage(QString());
        return Outcome::Broken;
    }
    appliedCaptions_ = text;
    return Outcome::Applied;
}

} // namespace vellumo
