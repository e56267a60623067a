#pragma once

// The main window over a catalogue that a test serves on 127.0.0.1, in a
// profile of its own.

#include "support/test_profile.h"
#include "support/test_server.h"
#include "windows/form1.h"
#include "windows/keyed_tree.h"

#include <QAbstractItemModelTester>

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
    void click(const QString &key) { main.TV1_NodeClick(key); }

    // The node texts the tree shows, in order, joined by "|"; a category
    // indented by two blanks, a skin by four.
    QString tree() const
    {
        QStringList lines;
        const QAbstractItemModel &nodes = *main.TV1->model();
        const auto below = [&](const auto &below, const QModelIndex &parent, int depth) -> void {
            for (int row = 0; row < nodes.rowCount(parent); ++row) {
                lines << QString(depth * 2, u' ') + nodes.index(row, 0, parent).data().toString();
                below(below, nodes.index(row, 0, parent), depth + 1);
            }
        };
        below(below, {}, 0);
        return lines.join(u'|');
    }
    QString cacheFile(const QString &name) const { return profile.programFolder() + QStringLiteral("/Cache/") + name; }

    TestProfile profile;
    TestServer server;
    Form1 main{profile.environment()};
    // Every change the tree's model reports must agree with what it holds.
    QAbstractItemModelTester modelTester{main.TV1->model(), QAbstractItemModelTester::FailureReportingMode::Fatal};
};

} // namespace vellumo::test
