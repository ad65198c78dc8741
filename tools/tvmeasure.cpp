// tvmeasure FILE...: the measured length of each file, as adding a song
// measures it: seconds with three decimals, a tab, the path.
#include "ExactFiles.h"
#include "NameBytes.h"
#include "probe/Measure.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // The names' own bytes: a name that is not UTF-8 is still that file.
    const QStringList files = tv::core::argumentNames(argc, argv).mid(1);
    if (files.isEmpty()) {
        std::fprintf(stderr, "usage: tvmeasure FILE...\n");
        return 2;
    }
    int status = 0;
    for (const QString &path : files) {
        const tv::media::Duration d = tv::media::measureFile(path);
        if (d.ok()) {
            std::printf("%.3f\t%s\n", *d.seconds, tv::core::fileNameBytes(path).constData());
        } else {
            std::fprintf(stderr, "tvmeasure: %s\n", d.error.toLocal8Bit().constData());
            status = 1;
        }
    }
    return status;
}
