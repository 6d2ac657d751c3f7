// Creates the empty archive table QM.dbf that ships beside the program.

#include "archive/empty_archive.h"
#include "common/failure.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        std::fputs(u"Использование: qm_make_empty_archive <путь к QM.dbf>\n"_s.toLocal8Bit().constData(), stderr);
        return 2;
    }
    try {
        qm::createEmptyArchive(arguments.at(1));
    } catch (const qm::Failure &failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 1;
    }
    return 0;
}
