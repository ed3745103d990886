#include "plugins/tunerbox/card_table.h"

#include <algorithm>
#include <array>

namespace vexa::tunerbox {
namespace {

constexpr std::array<CardModel, 41> kCards{{
    {0, "Unknown card"},
    {1, "MIRO PCTV"},
    {2, "Hauppauge WinTV (BT848)"},
    {3, "STB"},
    {4, "Intel"},
    {5, "Diamond DTV2000"},
    {6, "AVerMedia TVPhone"},
    {7, "MATRIX Vision MV-Delta"},
    {8, "Fly Video II"},
    {9, "TurboTV"},
    {10, "Hauppauge WinTV (BT878)"},
    {11, "MIRO PCTV pro"},
    {12, "ADS Technologies Channel Surfer TV"},
    {13, "AVerMedia TVCapture 98"},
    {14, "Aimslab VHX"},
    {15, "Zoltrix TV-Max"},
    {16, "Pixelview PlayTV (BT878)"},
    {17, "Leadtek WinView 601"},
    {18, "AVEC Intercapture"},
    {19, "LifeView FlyKit"},
    {20, "CEI Raffles Card"},
    {21, "Lucky Star Image World ConferenceTV"},
    {22, "Phoebe TV Master"},
    {23, "Modular Technology MM205 PCTV (BT878)"},
    {24, "TView (BT878)"},
    {25, "Vobis TV-Boostar"},
    {26, "Hauppauge WinCam (BT878)"},
    {27, "MAXI TV Video PCI2"},
    {28, "Terratec TerraTV"},
    {29, "Imagenation PXC200"},
    {30, "FlyVideo 98"},
    {31, "iProTV"},
    {32, "Intel Create and Share PCI"},
    {33, "Terratec TerraTV Value"},
    {34, "Leadtek WinFast 2000"},
    {35, "Chronos Video Shuttle II / INCA TV"},
    {36, "Typhoon TView"},
    {37, "PixelView PlayTV pro"},
    {38, "Anubis Magic TView99"},
    {39, "Pinnacle PCTV Rave"},
    {40, "STB2"},
}};

constexpr std::array<SubsystemCard, 16> kSubsystems{{
    {0x00011002, "ATI TV Wonder", 10},
    {0x00011461, "AVerMedia TVPhone98", 6},
    {0x00031461, "AVerMedia TVPhone98", 6},
    {0x00041461, "Avermedia TVCapture 98", 13},
    {0x1118153B, "Terratec TV Value", 33},
    {0x1200BD11, "Pinnacle PCTV Rave", 39},
    {0x13EB0070, "Hauppauge WinTV", 10},
    {0x14610002, "Avermedia TVCapture 98", 13},
    {0x18501851, "Chronos Video Shuttle II", 35},
    {0x18521852, "Typhoon TView", 36},
    {0x3000144F, "TView 99", 38},
    {0x300014FF, "TView 99", 24},
    {0x3002144F, "Askey Magic TView", 24},
    {0x300214FF, "Phoebe TV Master", 22},
    {0x6606217D, "Leadtek WinFast TV 2000", 34},
    {0x400D15B0, "Zoltrix TV Genie", 0},
}};

}  // namespace

std::span<const CardModel> cardModels() { return kCards; }
std::span<const SubsystemCard> subsystemCards() { return kSubsystems; }

std::string_view cardName(int model) {
  if (model < 0 || model >= static_cast<int>(kCards.size())) return kCards[kUnknownCard].name;
  return kCards[static_cast<size_t>(model)].name;
}

std::optional<SubsystemCard> findSubsystem(uint32_t subsystemId) {
  auto it = std::find_if(kSubsystems.begin(), kSubsystems.end(),
                         [&](const SubsystemCard& card) { return card.subsystemId == subsystemId; });
  if (it == kSubsystems.end()) return std::nullopt;
  return *it;
}

bool isHauppauge(int model) { return model == kHauppaugeBt848 || model == kHauppaugeBt878; }

}  // namespace vexa::tunerbox
