#include "app/program/command_line.h"

#include "app/program/program_identity.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

namespace qm {

CommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    // "-reverse" or "-stylesheet" (Qt's own options) must not read as -v or -h.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{u"h"_s, u"help"_s});
    const QCommandLineOption version(QStringList{u"v"_s, u"version"_s});
    const QCommandLineOption folder(u"folder"_s, QString(), u"папка"_s);
    parser.addOptions({help, version, folder});

    const bool understood = parser.parse(arguments);
    CommandLine result;
    if (parser.isSet(help)) {
        result.request = CommandLine::Request::Help;
    } else if (parser.isSet(version)) {
        result.request = CommandLine::Request::Version;
    } else if (!parser.unknownOptionNames().isEmpty()) {
        const QString name = parser.unknownOptionNames().constFirst();
        result.request = CommandLine::Request::Mistake;
        result.mistake = u"неизвестный параметр %1%2"_s.arg(name.size() == 1 ? u"-"_s : u"--"_s, name);
    } else if (!understood) {
        // The one option that takes a value is the only other way to go wrong.
        result.request = CommandLine::Request::Mistake;
        result.mistake = u"после --folder нужно указать папку"_s;
    } else if (!parser.positionalArguments().isEmpty()) {
        result.request = CommandLine::Request::Mistake;
        result.mistake = u"лишний аргумент «%1»"_s.arg(parser.positionalArguments().constFirst());
    } else {
        result.folder = parser.value(folder);
        if (parser.isSet(folder) && result.folder.isEmpty()) {
            result.request = CommandLine::Request::Mistake;
            result.mistake = u"после --folder нужно указать папку"_s;
        }
    }
    return result;
}

QString helpText(const QString &programName)
{
    return u"Использование: %1 [--folder ПАПКА]\n"
           u"\n"
           u"Quillmarch заполняет и печатает акты замены ЭКЛЗ и блока фискальной памяти ККМ\n"
           u"и ведёт их архив.\n"
           u"\n"
           u"Параметры:\n"
           u"  --folder ПАПКА  взять настройки (Quillmarch.ini), шаблон акта (Quillmarch.xls)\n"
           u"                  и архив (QM.dbf) из этой папки, например из общей папки\n"
           u"                  на файловом сервере\n"
           u"  -h, --help      показать эту справку и выйти\n"
           u"  -v, --version   показать версию программы и выйти\n"
           u"\n"
           u"Без --folder программа берёт эти файлы из своей собственной папки, если там\n"
           u"есть Quillmarch.ini, а иначе из папки пользователя ~/.local/share/Quillmarch;\n"
           u"недостающие там файлы копируются при запуске из поставки программы, а\n"
           u"существующие никогда не заменяются.\n"_s.arg(programName);
}

QString versionText()
{
    return u"Quillmarch, версия %1\n"_s.arg(QStringView(identity::versionNumber));
}

QString mistakeText(const QString &programName, const QString &mistake)
{
    return u"%1: %2\nСправка: %1 --help\n"_s.arg(programName, mistake);
}

}  // namespace qm
