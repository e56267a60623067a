// The registry of the Wine prefix that Messenger runs in, read straight from
// the prefix's files: no Wine process is needed.

#include "platform/registry.h"
#include "platform/wine_prefix.h"
#include "platform/wine_registry_file.h"

#include <QDir>

namespace vellumo::platform {

namespace {

class WineRegistry final : public Registry {
public:
    std::u16string readValue(const std::u16string &valuePath) const override
    {
        const QString path = QString::fromStdU16String(valuePath);
        const qsizetype rootEnd = path.indexOf(u'\\');
        const qsizetype nameStart = path.lastIndexOf(u'\\') + 1;
        if (rootEnd <= 0 || nameStart <= rootEnd + 1)
            return {};
        const QString root = path.left(rootEnd).toUpper();
        const QString key = path.mid(rootEnd + 1, nameStart - rootEnd - 2);
        const QString name = path.mid(nameStart);

        QString file;
        if (root == u"HKLM" || root == u"HKEY_LOCAL_MACHINE")
            file = QStringLiteral("system.reg");
        else if (root == u"HKCU" || root == u"HKEY_CURRENT_USER")
            file = QStringLiteral("user.reg");
        else
            return {};
        file = QDir(winePrefixFolder()).filePath(file);

        // 32-bit programs see HKLM\Software through Wow6432Node.
        const QString software = QStringLiteral("Software\\");
        if (file.endsWith(u"system.reg") && key.startsWith(software, Qt::CaseInsensitive)) {
            const QString wow = software + QStringLiteral("Wow6432Node\\") + key.mid(software.size());
            if (const auto value = readWineRegistryValue(file, wow, name))
                return value->toStdU16String();
        }
        if (const auto value = readWineRegistryValue(file, key, name))
            return value->toStdU16String();
        return {};
    }
};

} // namespace

std::unique_ptr<Registry> createMachineRegistry()
{
    return std::make_unique<WineRegistry>();
}

} // namespace vellumo::platform
