#include "shell/gui/SpeechEngine.h"

namespace zelvano
{

QString speechMissingFromBuild()
{
    return QStringLiteral("此版本不含语音播报");
}

std::unique_ptr<SpeechEngine> startSpeechEngine(QObject*, QString* reason)
{
    *reason = speechMissingFromBuild();
    return nullptr;
}

} // namespace zelvano
