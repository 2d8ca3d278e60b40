#include "shell/gui/SpeechEngine.h"

#include <initguid.h> // the SAPI class and interface ids, defined here once

#include <windows.h>
// needs windows.h first, so not sorted with it
#include <sapi.h>

namespace zelvano
{

namespace
{

// The voices SAPI lists in the registry (Windows' Chinese desktop voices,
// "Microsoft Huihui Desktop" and others, are there).
const wchar_t kVoices[] = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech\\Voices";
// Mainland Chinese first, then Taiwan, Hong Kong, Singapore (LCIDs in hex).
const wchar_t* const kChineseLanguages[] = {L"Language=804", L"Language=404", L"Language=C04",
                                            L"Language=1004"};

template <class T> void release(T*& p)
{
    if (p)
        p->Release();
    p = nullptr;
}

ISpObjectToken* chineseVoiceToken()
{
    ISpObjectTokenCategory* category = nullptr;
    if (FAILED(CoCreateInstance(CLSID_SpObjectTokenCategory, nullptr, CLSCTX_ALL,
                                IID_ISpObjectTokenCategory, reinterpret_cast<void**>(&category))))
        return nullptr;
    ISpObjectToken* token = nullptr;
    if (SUCCEEDED(category->SetId(kVoices, FALSE))) {
        for (const wchar_t* language : kChineseLanguages) {
            IEnumSpObjectTokens* tokens = nullptr;
            if (SUCCEEDED(category->EnumTokens(language, nullptr, &tokens)) && tokens)
                tokens->Next(1, &token, nullptr);
            release(tokens);
            if (token)
                break;
        }
    }
    release(category);
    return token;
}

// COM lives on the voice's thread: initialised where the engine starts and
// ended where it is deleted, both on that thread.
class SapiSpeechEngine final : public SpeechEngine
{
public:
    explicit SapiSpeechEngine(ISpVoice* voice) : m_voice(voice) {}
    ~SapiSpeechEngine() override
    {
        stop();
        release(m_voice);
        CoUninitialize();
    }
    void say(const QString& text) override
    {
        const std::wstring wide = text.toStdWString();
        m_voice->Speak(wide.c_str(), SPF_ASYNC | SPF_PURGEBEFORESPEAK | SPF_IS_NOT_XML, nullptr);
    }
    void stop() override { m_voice->Speak(nullptr, SPF_ASYNC | SPF_PURGEBEFORESPEAK, nullptr); }

private:
    ISpVoice* m_voice;
};

} // namespace

QString speechMissingFromBuild()
{
    return {};
}

std::unique_ptr<SpeechEngine> startSpeechEngine(QObject*, QString* reason)
{
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {
        *reason = QStringLiteral("语音引擎无法启动");
        return nullptr;
    }
    ISpObjectToken* token = chineseVoiceToken();
    ISpVoice* voice = nullptr;
    if (!token) {
        *reason = QStringLiteral("没有安装中文语音（Windows 设置 → 时间和语言 → 语音）");
    } else if (FAILED(CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_ALL, IID_ISpVoice,
                                       reinterpret_cast<void**>(&voice))) ||
               FAILED(voice->SetVoice(token))) {
        *reason = QStringLiteral("语音引擎无法启动");
        release(voice);
    }
    release(token);
    if (!voice) {
        CoUninitialize();
        return nullptr;
    }
    return std::make_unique<SapiSpeechEngine>(voice);
}

} // namespace zelvano
