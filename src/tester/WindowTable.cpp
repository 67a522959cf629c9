#include "tester/WindowTable.h"

namespace tester {
namespace {

constexpr WindowRow kRows[kWindowRowCount] = {
    {L"home", L"10000", L"home.xml"},
    {L"programs", L"10001", L"myprograms.xml"},
    {L"pictures", L"10002", L"mypics.xml"},
    {L"filemanager", L"10003", L"filemanager.xml"},
    {L"files", L"10003", L"filemanager.xml"},
    {L"settings", L"10004", L"settings.xml"},
    {L"music", L"10005", L"home.xml"},
    {L"video", L"10006", L"home.xml"},
    {L"videos", L"10025", L"home.xml"},
    {L"systeminfo", L"10007", L"settingssysteminfo.xml"},
    {L"testpattern", L"10008", L""},
    {L"screencalibration", L"10011", L"settingsscreencalibration.xml"},
    {L"guicalibration", L"10011", L".xml"},
    {L"picturessettings", L"10012", L"settingscategory.xml"},
    {L"programssettings", L"10013", L"settingscategory.xml"},
    {L"weathersettings", L"10014", L"settingscategory.xml"},
    {L"musicsettings", L"10015", L"settingscategory.xml"},
    {L"systemsettings", L"10016", L"settingscategory.xml"},
    {L"videossettings", L"10017", L"settingscategory.xml"},
    {L"networksettings", L"10018", L"settingscategory.xml"},
    {L"appearancesettings", L"10019", L"settingscategory.xml"},
    {L"scripts", L"10001", L"myscripts.xml"},
    {L"videofiles", L"10024", L"myvideo.xml"},
    {L"videolibrary", L"10025", L"myvideonav.xml"},
    {L"videoplaylist", L"10028", L"myvideoplaylist.xml"},
    {L"loginscreen", L"10029", L"loginscreen.xml"},
    {L"profiles", L"10034", L"settingsprofile.xml"},
    {L"addonbrowser", L"10040", L"addonbrowser.xml"},
    {L"yesnodialog", L"10100", L"dialogyesno.xml"},
    {L"progressdialog", L"10101", L"home.xml"},
    {L"virtualkeyboard", L"10103", L""},
    {L"volumebar", L"10104", L""},
    {L"submenu", L"10105", L""},
    {L"favourites", L"10134", L""},
    {L"contextmenu", L"10106", L""},
    {L"infodialog", L"10107", L""},
    {L"numericinput", L"10109", L""},
    {L"gamepadinput", L"10110", L""},
    {L"shutdownmenu", L"10111", L""},
    {L"musicscan", L"10112", L""},
    {L"mutebug", L"10113", L""},
    {L"playercontrols", L"10114", L""},
    {L"seekbar", L"10115", L""},
    {L"musicosd", L"10120", L""},
    {L"addonsettings", L"10140", L""},
    {L"visualisationsettings", L"10140", L""},
    {L"visualisationpresetlist", L"10122", L""},
    {L"osdvideosettings", L"10123", L""},
    {L"osdaudiosettings", L"10124", L""},
    {L"videobookmarks", L"10125", L""},
    {L"filebrowser", L"10126", L""},
    {L"networksetup", L"10128", L""},
    {L"mediasource", L"10129", L""},
    {L"profilesettings", L"10130", L""},
    {L"locksettings", L"10131", L""},
    {L"contentsettings", L"10132", L""},
    {L"videoscan", L"10133", L""},
    {L"favourites", L"10134", L""},
    {L"songinformation", L"10135", L""},
    {L"smartplaylisteditor", L"10136", L""},
    {L"smartplaylistrule", L"10137", L""},
    {L"busydialog", L"10138", L""},
    {L"pictureinfo", L"10139", L""},
    {L"accesspoints", L"10141", L""},
    {L"fullscreeninfo", L"10142", L""},
    {L"karaokeselector", L"10143", L""},
    {L"karaokelargeselector", L"10144", L""},
    {L"sliderdialog", L"10145", L""},
    {L"addoninformation", L"10146", L""},
    {L"musicplaylist", L"10500", L""},
    {L"musicfiles", L"10501", L""},
    {L"musiclibrary", L"10502", L""},
    {L"musicplaylisteditor", L"10503", L""},
    {L"teletext", L"10600", L""},
    {L"selectdialog", L"12000", L""},
    {L"musicinformation", L"12001", L""},
    {L"okdialog", L"12002", L""},
    {L"movieinformation", L"12003", L""},
    {L"textviewer", L"10147", L""},
    {L"fullscreenvideo", L"12005", L""},
    {L"visualisation", L"12006", L""},
    {L"slideshow", L"12007", L""},
    {L"filestackingdialog", L"12008", L""},
    {L"karaoke", L"12009", L""},
    {L"weather", L"12600", L""},
    {L"screensaver", L"12900", L""},
    {L"videoosd", L"12901", L""},
    {L"videomenu", L"12902", L""},
    {L"videotimeseek", L"12905", L""},
    {L"musicoverlay", L"12903", L""},
    {L"videooverlay", L"12904", L""},
    {L"startwindow", L"12998", L""},
    {L"startup", L"12999", L""},
    {L"peripherals", L"10149", L""},
    {L"peripheralsettings", L"10150", L""},
};

}  // namespace

const WindowRow* windowTable() { return kRows; }

std::wstring asciiLower(const std::wstring& text) {
    std::wstring lower(text);
    for (wchar_t& c : lower) {
        if (c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c - L'A' + L'a');
        }
    }
    return lower;
}

std::wstring windowIdForFile(const std::wstring& name) {
    std::wstring lower = asciiLower(name);
    for (const WindowRow& row : kRows) {
        if (lower == row.xmlFile) {
            return row.id;
        }
    }
    return lower;
}

}  // namespace tester
