#include "HelpTopics.h"

#include "AppPaths.h"
#include "platform/ui/HelpContext.h"

namespace {
struct TopicEntry {
    WORD dialog;
    int topic;
};

constexpr TopicEntry kTopics[] = {
    {105, 0},    {110, 1724}, {123, 1672}, {150, 1672}, {130, 1715}, {131, 1716}, {135, 1674}, {138, 1667},
    {142, 1673}, {143, 1662}, {144, 1713}, {147, 1670}, {179, 1689}, {180, 1706}, {370, 1751}, {372, 1749},
    {392, 1738}, {288, 1666}, {293, 1684}, {311, 1709}, {315, 1661}, {316, 1679}, {317, 1702}, {318, 1680},
    {320, 1675}, {321, 1669}, {322, 1671}, {323, 1668}, {324, 1703}, {326, 1704}, {327, 1660}, {328, 1766},
    {330, 1718}, {331, 1692}, {336, 1740}, {338, 1726}, {341, 1756}, {342, 1741}, {343, 1745}, {344, 1744},
    {345, 1743}, {349, 1739}, {350, 1737}, {360, 1735}, {361, 1770}, {362, 1733}, {363, 1771}, {365, 1742},
    {371, 1748}, {375, 1750},
};
}  // namespace

int MapHelpTopic(WORD id)
{
    const SHORT override = AfxGetHelpContextOverride();
    if (override != -1)
        id = static_cast<WORD>(override);
    if (id & 0x8000)
        return -static_cast<int>(static_cast<SHORT>(id));
    for (const TopicEntry& entry : kTopics)
        if (entry.dialog == id)
            return entry.topic;
    return kDefaultHelpTopic;
}

CString GetHelpFilePath() { return AfxGetAppPaths().programFolder + "KVHelp21/"; }

const WORD* HelpTableDialogIds(int& count)
{
    static WORD ids[std::size(kTopics)];
    for (size_t i = 0; i < std::size(kTopics); ++i)
        ids[i] = kTopics[i].dialog;
    count = static_cast<int>(std::size(kTopics));
    return ids;
}
