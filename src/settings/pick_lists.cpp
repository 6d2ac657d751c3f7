#include "settings/pick_lists.h"

#include "settings/ini_file.h"
#include "settings/program_settings.h"

#include <limits>

using namespace Qt::StringLiterals;

namespace qm {
namespace {

PickList loadNumberedList(const QString &iniPath, const QString &section, const QString &prefix)
{
    // Parsed once per load: a long list would otherwise read the file once per key.
    const IniFile ini = IniFile::load(iniPath);
    constexpr int lastNumber = std::numeric_limits<qint16>::max();

    PickList list;
    QStringList &items = list.items;
    int number = 1;
    for (; number <= lastNumber; ++number) {
        const QString item = ini.value(section, prefix + QString::number(number), QString());
        if (item.isEmpty())
            break;
        items.append(item);
    }
    if (number > lastNumber) {
        const QString key = prefix + QString::number(lastNumber);
        list.overflow = settings::overflow(iniPath, section, key, items.constLast(),
                                           u"Список не может содержать больше %1 элементов."_s.arg(lastNumber));
    }
    return list;
}

}  // namespace

PickList LoadTechnicians(const QString &iniPath)
{
    return loadNumberedList(iniPath, settings::techniciansSection(), settings::technicianKeyPrefix());
}

PickList LoadKkmModels(const QString &iniPath)
{
    return loadNumberedList(iniPath, settings::kkmModelsSection(), settings::kkmModelKeyPrefix());
}

QStringList operationTypeTexts()
{
    // Keep "архима" as it is: archives already hold this spelling, and recall
    // finds the item by exact text.
    return {
        u"Истечение установленного срока эксплуатации ЭКЛЗ"_s,
        u"Заполнение ЭКЛЗ"_s,
        u"Неисправность ЭКЛЗ"_s,
        u"Закрытие архима ЭКЛЗ"_s,
        u"Замена блока фискальной памяти"_s,
    };
}

PickList LoadOperationTypes()
{
    return PickList{operationTypeTexts(), std::nullopt};
}

}  // namespace qm
