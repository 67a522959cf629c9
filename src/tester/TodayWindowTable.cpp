#include "tester/TodayWindowTable.h"

#include "tester/WindowTable.h"

namespace tester {
namespace {

constexpr TodayWindowRow kRows[kTodayWindowRowCount] = {
    {L"home", 10000, L"home.xml", true},
    {L"programs", 10001, L"myprograms.xml", true},
    {L"pictures", 10002, L"mypics.xml", true},
    {L"filemanager", 10003, L"filemanager.xml", true},
    {L"settings", 10004, L"settings.xml", true},
    {L"systeminfo", 10007, L"settingssysteminfo.xml", true},
    {L"screencalibration", 10011, L"settingsscreencalibration.xml", true},
    {L"systemsettings", 10016, L"settingscategory.xml", true},
    {L"servicesettings", 10018, L"settingscategory.xml", true},
    {L"pvrsettings", 10021, L"settingscategory.xml", true},
    {L"gamesettings", 10022, L"settingscategory.xml", true},
    {L"videos", 10025, L"myvideonav.xml", true},
    {L"videoplaylist", 10028, L"myplaylist.xml", true},
    {L"loginscreen", 10029, L"loginscreen.xml", true},
    {L"playersettings", 10030, L"settingscategory.xml", true},
    {L"mediasettings", 10031, L"settingscategory.xml", true},
    {L"interfacesettings", 10032, L"settingscategory.xml", true},
    {L"appearancesettings", 10032, L"settingscategory.xml", true},
    {L"profiles", 10034, L"settingsprofile.xml", true},
    {L"skinsettings", 10035, L"skinsettings.xml", true},
    {L"addonbrowser", 10040, L"addonbrowser.xml", true},
    {L"eventlog", 10050, L"eventlog.xml", true},
    {L"favouritesbrowser", 10060, L"myfavourites.xml", true},
    {L"", 10099, L"pointer.xml", false},
    {L"yesnodialog", 10100, L"dialogconfirm.xml", true},
    {L"progressdialog", 10101, L"dialogconfirm.xml", true},
    {L"virtualkeyboard", 10103, L"dialogkeyboard.xml", true},
    {L"volumebar", 10104, L"dialogvolumebar.xml", true},
    {L"submenu", 10105, L"dialogsubmenu.xml", true},
    {L"contextmenu", 10106, L"dialogcontextmenu.xml", true},
    {L"notification", 10107, L"dialognotification.xml", true},
    {L"numericinput", 10109, L"dialognumeric.xml", true},
    {L"gamepadinput", 10110, L"dialogconfirm.xml", true},
    {L"shutdownmenu", 10111, L"dialogbuttonmenu.xml", true},
    {L"playercontrols", 10114, L"playercontrols.xml", true},
    {L"seekbar", 10115, L"dialogseekbar.xml", true},
    {L"playerprocessinfo", 10116, L"dialogplayerprocessinfo.xml", true},
    {L"musicosd", 10120, L"musicosd.xml", true},
    {L"visualisationpresetlist", 10122, L"dialogselect.xml", true},
    {L"osdvideosettings", 10123, L"dialogsettings.xml", true},
    {L"osdaudiosettings", 10124, L"dialogsettings.xml", true},
    {L"videobookmarks", 10125, L"videoosdbookmarks.xml", true},
    {L"filebrowser", 10126, L"filebrowser.xml", true},
    {L"networksetup", 10128, L"dialogsettings.xml", true},
    {L"mediasource", 10129, L"dialogmediasource.xml", true},
    {L"profilesettings", 10130, L"dialogsettings.xml", true},
    {L"locksettings", 10131, L"dialogsettings.xml", true},
    {L"contentsettings", 10132, L"dialogsettings.xml", true},
    {L"libexportsettings", 10133, L"dialogsettings.xml", true},
    {L"favourites", 10134, L"dialogfavourites.xml", true},
    {L"songinformation", 10135, L"dialogmusicinfo.xml", true},
    {L"smartplaylisteditor", 10136, L"smartplaylisteditor.xml", true},
    {L"smartplaylistrule", 10137, L"smartplaylistrule.xml", true},
    {L"busydialog", 10138, L"dialogbusy.xml", true},
    {L"pictureinfo", 10139, L"dialogpictureinfo.xml", true},
    {L"addonsettings", 10140, L"dialogaddonsettings.xml", true},
    {L"fullscreeninfo", 10142, L"dialogfullscreeninfo.xml", true},
    {L"sliderdialog", 10145, L"dialogslider.xml", true},
    {L"addoninformation", 10146, L"dialogaddoninfo.xml", true},
    {L"textviewer", 10147, L"dialogtextviewer.xml", true},
    {L"", 10148, L"dialogconfirm.xml", false},
    {L"", 10149, L"dialogselect.xml", false},
    {L"peripheralsettings", 10150, L"dialogsettings.xml", true},
    {L"extendedprogressdialog", 10151, L"dialogextendedprogressbar.xml", true},
    {L"mediafilter", 10152, L"dialogsettings.xml", true},
    {L"subtitlesearch", 10153, L"dialogsubtitles.xml", true},
    {L"osdcmssettings", 10157, L"dialogsettings.xml", true},
    {L"infoprovidersettings", 10158, L"dialogsettings.xml", true},
    {L"osdsubtitlesettings", 10159, L"dialogsettings.xml", true},
    {L"busydialognocancel", 10160, L"dialogbusy.xml", true},
    {L"musicplaylist", 10500, L"myplaylist.xml", true},
    {L"music", 10502, L"mymusicnav.xml", true},
    {L"musicplaylisteditor", 10503, L"mymusicplaylisteditor.xml", true},
    {L"teletext", 10550, L"", true},
    {L"pvrosdteletext", 10550, L"", true},
    {L"pvrguideinfo", 10600, L"dialogpvrinfo.xml", true},
    {L"pvrrecordinginfo", 10601, L"dialogpvrinfo.xml", true},
    {L"pvrtimersetting", 10602, L"dialogsettings.xml", true},
    {L"pvrgroupmanager", 10603, L"dialogpvrgroupmanager.xml", true},
    {L"pvrchannelmanager", 10604, L"dialogpvrchannelmanager.xml", true},
    {L"pvrguidesearch", 10605, L"dialogpvrguidesearch.xml", true},
    {L"pvrchannelscan", 10606, L"", true},
    {L"pvrupdateprogress", 10607, L"", true},
    {L"pvrosdchannels", 10608, L"dialogpvrchannelsosd.xml", true},
    {L"pvrchannelguide", 10609, L"dialogpvrchannelguide.xml", true},
    {L"pvrosdguide", 10609, L"dialogpvrchannelguide.xml", true},
    {L"pvrradiordsinfo", 10610, L"dialogpvrradiordsinfo.xml", true},
    {L"", 10611, L"dialogsettings.xml", false},
    {L"", 10612, L"dialogsettings.xml", false},
    {L"pvrguidecontrols", 10613, L"dialogpvrguidecontrols.xml", true},
    {L"tvchannels", 10700, L"mypvrchannels.xml", true},
    {L"tvrecordings", 10701, L"mypvrrecordings.xml", true},
    {L"tvguide", 10702, L"mypvrguide.xml", true},
    {L"tvtimers", 10703, L"mypvrtimers.xml", true},
    {L"tvsearch", 10704, L"mypvrsearch.xml", true},
    {L"radiochannels", 10705, L"mypvrchannels.xml", true},
    {L"radiorecordings", 10706, L"mypvrrecordings.xml", true},
    {L"radioguide", 10707, L"mypvrguide.xml", true},
    {L"radiotimers", 10708, L"mypvrtimers.xml", true},
    {L"radiosearch", 10709, L"mypvrsearch.xml", true},
    {L"tvtimerrules", 10710, L"mypvrtimers.xml", true},
    {L"radiotimerrules", 10711, L"mypvrtimers.xml", true},
    {L"fullscreenlivetv", 10800, L"", true},
    {L"fullscreenradio", 10801, L"", true},
    {L"fullscreenlivetvpreview", 10802, L"", true},
    {L"fullscreenradiopreview", 10803, L"", true},
    {L"fullscreenlivetvinput", 10804, L"", true},
    {L"fullscreenradioinput", 10805, L"", true},
    {L"gamecontrollers", 10820, L"dialoggamecontrollers.xml", true},
    {L"games", 10821, L"mygames.xml", true},
    {L"gameosd", 10822, L"gameosd.xml", true},
    {L"gamevideofilter", 10823, L"dialogselect.xml", true},
    {L"gamestretchmode", 10824, L"dialogselect.xml", true},
    {L"gamevolume", 10825, L"dialogslider.xml", true},
    {L"gameadvancedsettings", 10826, L"dialogaddonsettings.xml", true},
    {L"gamevideorotation", 10827, L"dialogselect.xml", true},
    {L"gameports", 10828, L"dialoggamecontrollers.xml", true},
    {L"ingamesaves", 10829, L"dialogselect.xml", true},
    {L"gamesaves", 10830, L"dialogselect.xml", true},
    {L"selectdialog", 12000, L"dialogselect.xml", true},
    {L"musicinformation", 12001, L"dialogmusicinfo.xml", true},
    {L"okdialog", 12002, L"dialogconfirm.xml", true},
    {L"movieinformation", 12003, L"dialogvideoinfo.xml", true},
    {L"fullscreenvideo", 12005, L"videofullscreen.xml", true},
    {L"visualisation", 12006, L"musicvisualisation.xml", true},
    {L"slideshow", 12007, L"slideshow.xml", true},
    {L"dialogcolorpicker", 12008, L"dialogcolorpicker.xml", true},
    {L"weather", 12600, L"myweather.xml", true},
    {L"screensaver", 12900, L"", true},
    {L"videoosd", 12901, L"videoosd.xml", true},
    {L"videomenu", 12902, L"", true},
    {L"videotimeseek", 12905, L"", true},
    {L"fullscreengame", 12906, L"videofullscreen.xml", true},
    {L"splash", 12997, L"", true},
    {L"startwindow", 12998, L"", true},
    {L"startup", 12999, L"startup.xml", true},
    {L"addon", 14000, L"", true},
};

// The interface's name for a window number: the first named row with it.
std::wstring nameOfId(unsigned id) {
    for (const TodayWindowRow& row : kRows)
        if (row.id == id && row.jsonRpc && row.name[0] != L'\0') return row.name;
    return {};
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::optional<unsigned> decimal(std::string_view text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    unsigned value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value;
}

}  // namespace

const TodayWindowRow* todayWindowTable() { return kRows; }

bool isInterfaceWindowName(const std::wstring& name) {
    if (name.empty()) return false;
    for (const TodayWindowRow& row : kRows)
        if (row.jsonRpc && name == row.name) return true;
    return false;
}

std::wstring windowWords(const WindowToOpen& window) {
    const std::wstring number = std::to_wstring(window.id);
    return window.name.empty() ? L"window " + number : window.name + L" (" + number + L")";
}

std::optional<unsigned> ownWindowId(std::string_view text) {
    std::size_t at = 0;
    while ((at = text.find('<', at)) != std::string_view::npos) {
        if (text.substr(at, 4) == "<!--") {
            const std::size_t end = text.find("-->", at + 4);
            if (end == std::string_view::npos) return std::nullopt;
            at = end + 3;
            continue;
        }
        if (text.substr(at, 2) == "<?" || text.substr(at, 2) == "<!") {
            ++at;
            continue;
        }
        // The first element of the file: the window, or not a window file.
        if (text.substr(at, 7) != "<window" || at + 7 >= text.size() || !(isSpace(text[at + 7]) || text[at + 7] == '>'))
            return std::nullopt;
        const std::size_t close = text.find('>', at);
        const std::string_view tag = text.substr(at + 7, close == std::string_view::npos ? std::string_view::npos
                                                                                            : close - at - 7);
        for (std::size_t i = 0; (i = tag.find("id", i)) != std::string_view::npos; i += 2) {
            if (i > 0 && !isSpace(tag[i - 1])) continue;
            std::size_t j = i + 2;
            while (j < tag.size() && isSpace(tag[j])) ++j;
            if (j >= tag.size() || tag[j] != '=') continue;
            ++j;
            while (j < tag.size() && isSpace(tag[j])) ++j;
            if (j >= tag.size() || (tag[j] != '"' && tag[j] != '\'')) continue;
            const char quote = tag[j];
            const std::size_t valueEnd = tag.find(quote, j + 1);
            if (valueEnd == std::string_view::npos) return std::nullopt;
            return decimal(tag.substr(j + 1, valueEnd - j - 1));
        }
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<WindowToOpen> windowToOpen(const std::wstring& fileName, std::string_view fileText) {
    const std::wstring lower = asciiLower(fileName);
    for (const TodayWindowRow& row : kRows) {
        if (row.xmlFile[0] != L'\0' && lower == row.xmlFile)
            return WindowToOpen{row.id, row.jsonRpc ? std::wstring(row.name) : std::wstring(), WindowToOpen::TodayTable};
    }
    const std::wstring older = windowIdForFile(lower);
    if (older != lower) {
        // The older rows' ids are all decimal.
        unsigned id = 0;
        for (wchar_t c : older) id = id * 10 + static_cast<unsigned>(c - L'0');
        return WindowToOpen{id, nameOfId(id), WindowToOpen::OlderTable};
    }
    if (const std::optional<unsigned> id = ownWindowId(fileText))
        return WindowToOpen{*id, nameOfId(*id), WindowToOpen::OwnId};
    return std::nullopt;
}

}  // namespace tester
