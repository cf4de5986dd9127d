#pragma once
// The plug-in's settings: sound devices, transmit timing and level, typing
// behaviour, fonts and colours. The published properties are the file
// "<plug-ins data folder>\Quorvel\configuration.xml", in this order.
//
// Kept in the namespace of its unit: the host configuration reader is a
// TConfig too (suConfig).
#include <cstdint>
#include <string>

#include "settings/ClassesX.h"
#include "base/Graphics.h"

namespace quorvel::dsConfig {

class TConfig : public TSrzClass {
public:
    TConfig();

    std::int32_t InSoundCard;
    std::int32_t OutSoundCard;
    std::int32_t FreqSample;
    std::int32_t DelayTX;
    bool AutoSendChar;
    bool AutoSendMacros;
    bool AutoClearRXWnd;
    bool AutoClearTXWnd;
    std::string RXFontName;
    std::int32_t RXFontSize;
    TFontStyles RXFontStyle;
    TColor RXFontRxColor;
    TColor RXFontTxColor;
    std::string TXFontName;
    std::int32_t TXFontSize;
    TFontStyles TXFontStyle;
    TColor TXFontColor;
    std::int32_t TimeDoRx;
    bool SendOfEnter;
    std::int16_t ModGain;
    std::int32_t SoundSource;
    std::int32_t InMixerID;
    std::int32_t InDest;
    std::int32_t InSelect;
    bool HIToSml;
    bool SetupComplete;
    bool AutoOpenRCFile;
    bool EnabledRXLevel;
    bool SelectedRcvr;
    std::int32_t TxOffset;
    TColor RXWndColor;
    TColor TXWndColor;
    bool AutoEndTX;
};

// The settings file below the host's plug-ins data folder.
std::string ConfigurationPath(const std::string& pluginsDataFolder);

}  // namespace quorvel::dsConfig
