#pragma once

// The main window over a catalogue that a test serves on 127.0.0.1, in a
// profile of its own.

#include "support/test_profile.h"
#include "support/test_server.h"
#include "windows/form1.h"
#include "windows/keyed_tree.h"

#include <QTreeWidgetItemIterator>

namespace vellumo::test {

// The status text of a failure, as the window shows it.
inline QString failure(int number, const char *description)
{
    return QStringLiteral("Fout opgetreden: %1 - %2").arg(number).arg(QLatin1StringView(description));
}

class CatalogueWindow {
public:
    CatalogueWindow()
    {
        serveCatalogue();
        profile.store(QStringLiteral("base"), server.baseUrl());
        main.catalogue().clock = [] { return QTime(12, 34, 56); }; // a category's key is its name and this time
        main.LoadDefaultLanguage();
    }

    // Serves (again) two categories: Cartoons, of Blue Moon (4 x 6) and Red
    // Sun (1 x 2), and Nature, of Forest, whose picture is missing.
    void serveCatalogue()
    {
        server.setFile("/msnskins.txt", "Cartoons*Nature");
        server.setFile("/Cartoons.txt", "Blue Moon*Red Sun");
        server.setFile("/Nature.txt", "Forest");
        server.setFile("/Cartoons/Blue%20Moon.gif", gifPicture(4, 6));
        server.setFile("/Cartoons/Red%20Sun.gif", gifPicture(1, 2));
    }

    // Loads the catalogue, as the loading timer's first tick does at start.
    void start() { main.loading_Timer(); }
    void click(const QString &key) { main.TV1_NodeClick(main.TV1->node(key)); }

    // The node texts the tree shows, in order, joined by "|"; a category
    // indented by two blanks, a skin by four.
    QString tree() const
    {
        QStringList lines;
        for (QTreeWidgetItemIterator it(main.TV1); *it; ++it)
            lines << QString((*it)->parent() ? (*it)->parent()->parent() ? 4 : 2 : 0, u' ') + (*it)->text(0);
        return lines.join(u'|');
    }
    QString cacheFile(const QString &name) const { return profile.programFolder() + QStringLiteral("/Cache/") + name; }

    TestProfile profile;
    TestServer server;
    Form1 main{profile.environment()};
};

} // namespace vellumo::test
