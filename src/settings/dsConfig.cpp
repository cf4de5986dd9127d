#include "settings/dsConfig.h"

#include "base/Files.h"

namespace quorvel::dsConfig {

TConfig::TConfig() {
    Property("InSoundCard", InSoundCard, -1);
    Property("OutSoundCard", OutSoundCard, -1);
    Property("FreqSample", FreqSample, 11025);
    Property("DelayTX", DelayTX, 100);
    Property("AutoSendChar", AutoSendChar, false);
    Property("AutoSendMacros", AutoSendMacros, true);
    Property("AutoClearRXWnd", AutoClearRXWnd, false);
    Property("AutoClearTXWnd", AutoClearTXWnd, false);
    Property("RXFontName", RXFontName, "MS Sans Serif");
    Property("RXFontSize", RXFontSize, 9);
    Property("RXFontStyle", RXFontStyle, TFontStyles{});
    Property("RXFontRxColor", RXFontRxColor, clGreen);
    Property("RXFontTxColor", RXFontTxColor, clNavy);
    Property("TXFontName", TXFontName, "MS Sans Serif");
    Property("TXFontSize", TXFontSize, 9);
    Property("TXFontStyle", TXFontStyle, TFontStyles{});
    Property("TXFontColor", TXFontColor, clWindowText);
    Property("TimeDoRx", TimeDoRx, 1000);
    Property("SendOfEnter", SendOfEnter, false);
    Property("ModGain", ModGain, 16384);
    Property("SoundSource", SoundSource, 0);
    Property("InMixerID", InMixerID, 0);
    Property("InDest", InDest, 0);
    Property("InSelect", InSelect, 0);
    Property("HIToSml", HIToSml, true);
    Property("SetupComplete", SetupComplete, false);
    Property("AutoOpenRCFile", AutoOpenRCFile, false);
    Property("EnabledRXLevel", EnabledRXLevel, false);
    Property("SelectedRcvr", SelectedRcvr, true);
    Property("TxOffset", TxOffset, 0);
    Property("RXWndColor", RXWndColor, clWindow);
    Property("TXWndColor", TXWndColor, clWindow);
    Property("AutoEndTX", AutoEndTX, true);
}

std::string ConfigurationPath(const std::string& pluginsDataFolder) {
    return JoinPath(pluginsDataFolder, "Quorvel", "configuration.xml");
}

}  // namespace quorvel::dsConfig
