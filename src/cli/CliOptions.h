#pragma once
// The command line of pictrove-cli, parsed into plain values.

#include <QString>
#include <QStringList>

#include <optional>

namespace pictrove {

struct CliOptions {
    enum Command { List, Download, Update, Missing, Help, Version, Login, Whoami, Logout } command = Help;
    QString dataDir;      // ends in "/"; without --data-dir, defaultDataFolder(current directory)
    QString cookiesFile;  // import before anything else, when set
    QString address;
    QString albums = QStringLiteral("all");
    QString saveDir;
    QString failedListFile;  // where to write the pictures that did not arrive, when set
    // Run-only overrides of the Sina source type's settings; never saved.
    std::optional<int> threads;
    std::optional<int> timeoutSeconds;
    std::optional<int> minKB;
    std::optional<int> maxKB;
    quint16 setOptions = 0;  // option bits switched on for this run
    bool useArchive = true;  // false: --no-archive, the download archive left alone for this run
    // update: the owners given on the command line, then those of the owners file.
    QStringList owners;
    QString ownersFile;
    bool noLiveMotion = false;  // --no-live-motion: live photos' moving parts left out of this run
    bool noVideos = false;      // --no-videos: videos left out of this run
    bool noPostTimes = false;   // --no-post-times: files keep their arrival (or repaired) times
    bool sidecar = false;       // --sidecar: each album's pictrove.jsonl in this run
};

// Parses argv (program name included). On a usage error returns nullopt and puts the
// reason into `error`.
std::optional<CliOptions> parseCliOptions(const QStringList &arguments, QString &error);

}  // namespace pictrove
