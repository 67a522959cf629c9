// The editor's published plugin interface: records, message and notification
// numbers. Shared by the plugin and the stand-in host, so both sides use one
// layout; the static_asserts pin every size and offset the real editor uses.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace npp {

struct NppData {
    HWND nppHandle;
    HWND scintillaMainHandle;
    HWND scintillaSecondHandle;
};

struct ShortcutKey {
    bool isCtrl;
    bool isAlt;
    bool isShift;
    UCHAR key;
};

constexpr int kMenuItemSize = 64;
using PluginCommand = void(__cdecl*)();

struct FuncItem {
    wchar_t itemName[kMenuItemSize];
    PluginCommand pFunc;
    int cmdID;
    bool init2Check;
    ShortcutKey* pShKey;
};

struct tTbData {
    HWND hClient;
    const wchar_t* pszName;
    int dlgID;
    UINT uMask;
    HICON hIconTab;
    const wchar_t* pszAddInfo;
    RECT rcFloat;
    int iPrevCont;
    const wchar_t* pszModuleName;
};

struct CommunicationInfo {
    long internalMsg;
    const wchar_t* srcModuleName;
    void* info;
};

using Sci_Position = std::ptrdiff_t;

struct SCNotification {
    NMHDR nmhdr;
    Sci_Position position;
    int ch;
    int modifiers;
    int modificationType;
    const char* text;
    Sci_Position length;
    Sci_Position linesAdded;
    int message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
    Sci_Position line;
    int foldLevelNow;
    int foldLevelPrev;
    int margin;
    int listType;
    int x;
    int y;
    int token;
    Sci_Position annotationLinesAdded;
    int updated;
    int listCompletionMethod;
    int characterSource;
};

struct Sci_TextRange {
    std::intptr_t cpMin;
    std::intptr_t cpMax;
    char* lpstrText;
};

// SCI_GETTEXTRANGEFULL's record (Scintilla 5.2.3 and later). The classic
// record's bounds are pointer-sized in the editor's Scintilla but `long` in
// others (the stand-in host's), so on x64 the two disagree; this one has the
// same layout in every Scintilla. On x86 both records have one layout.
struct Sci_TextRangeFull {
    Sci_Position cpMin;
    Sci_Position cpMax;
    char* lpstrText;
};

// NPPM_GETDARKMODECOLORS fills this record (wParam its size).
struct DarkModeColors {
    COLORREF background;
    COLORREF softerBackground;
    COLORREF hotBackground;
    COLORREF pureBackground;
    COLORREF errorBackground;
    COLORREF text;
    COLORREF darkerText;
    COLORREF disabledText;
    COLORREF linkText;
    COLORREF edge;
    COLORREF hotEdge;
    COLORREF disabledEdge;
};

// Docking record mask bits.
constexpr UINT DWS_ICONTAB = 0x00000001;
constexpr UINT DWS_ADDINFO = 0x00000004;
constexpr UINT DWS_USEOWNDARKMODE = 0x00000008;
constexpr UINT DWS_DF_CONT_LEFT = 0u << 28;
constexpr UINT DWS_DF_CONT_RIGHT = 1u << 28;
constexpr UINT DWS_DF_CONT_TOP = 2u << 28;
constexpr UINT DWS_DF_CONT_BOTTOM = 3u << 28;
constexpr UINT DWS_DF_FLOATING = 0x80000000;

// Host messages.
constexpr UINT NPPMSG = WM_USER + 1000;
constexpr UINT RUNCOMMAND_USER = WM_USER + 3000;
constexpr UINT NPPM_GETCURRENTSCINTILLA = NPPMSG + 4;           // 2028
constexpr UINT NPPM_MODELESSDIALOG = NPPMSG + 12;               // 2036
constexpr UINT NPPM_DMMSHOW = NPPMSG + 30;                      // 2054
constexpr UINT NPPM_DMMHIDE = NPPMSG + 31;                      // 2055
constexpr UINT NPPM_DMMUPDATEDISPINFO = NPPMSG + 32;            // 2056
constexpr UINT NPPM_DMMREGASDCKDLG = NPPMSG + 33;               // 2057
constexpr UINT NPPM_SETMENUITEMCHECK = NPPMSG + 40;             // 2064
constexpr UINT NPPM_GETCURRENTBUFFERID = NPPMSG + 36;           // 2060
constexpr UINT NPPM_GETPLUGINSCONFIGDIR = NPPMSG + 46;          // 2070
constexpr UINT NPPM_MSGTOPLUGIN = NPPMSG + 47;                  // 2071
constexpr UINT NPPM_GETFULLPATHFROMBUFFERID = NPPMSG + 58;      // 2082
constexpr UINT NPPM_DOOPEN = NPPMSG + 77;                       // 2101
constexpr UINT NPPM_GETPLUGINHOMEPATH = NPPMSG + 97;            // 2121
constexpr UINT NPPM_ISDARKMODEENABLED = NPPMSG + 107;           // 2131
constexpr UINT NPPM_GETDARKMODECOLORS = NPPMSG + 108;           // 2132
constexpr UINT NPPM_DARKMODESUBCLASSANDTHEME = NPPMSG + 112;    // 2136
constexpr UINT NPPM_ALLOCATEINDICATOR = NPPMSG + 113;           // 2137
constexpr UINT NPPM_GETCURRENTDIRECTORY = RUNCOMMAND_USER + 2;  // 4026
constexpr UINT NPPM_GETFILENAME = RUNCOMMAND_USER + 3;          // 4027
constexpr UINT NPPM_GETCURRENTLINE = RUNCOMMAND_USER + 8;       // 4032

constexpr WPARAM MODELESSDIALOGADD = 0;
constexpr WPARAM MODELESSDIALOGREMOVE = 1;

// NPPM_DARKMODESUBCLASSANDTHEME's wParam: once a dialog's controls exist, and
// when the mode has changed.
constexpr WPARAM DARKMODE_INIT = 0x0000000B;
constexpr WPARAM DARKMODE_CHANGED = 0x0000000C;

// Notifications to beNotified.
constexpr UINT NPPN_FIRST = 1000;
constexpr UINT NPPN_READY = NPPN_FIRST + 1;             // 1001
constexpr UINT NPPN_FILEBEFORESAVE = NPPN_FIRST + 7;    // 1007
constexpr UINT NPPN_FILESAVED = NPPN_FIRST + 8;         // 1008
constexpr UINT NPPN_SHUTDOWN = NPPN_FIRST + 9;          // 1009
constexpr UINT NPPN_BUFFERACTIVATED = NPPN_FIRST + 10;  // 1010
constexpr UINT NPPN_BEFORESHUTDOWN = NPPN_FIRST + 19;   // 1019
constexpr UINT NPPN_DARKMODECHANGED = NPPN_FIRST + 27;  // 1027

// Docking notifications to a panel: WM_NOTIFY, code = MAKELONG(DMN_x, container).
constexpr UINT DMN_FIRST = 1050;
constexpr UINT DMN_CLOSE = DMN_FIRST + 1;  // 1051
constexpr UINT DMN_DOCK = DMN_FIRST + 2;   // 1052
constexpr UINT DMN_FLOAT = DMN_FIRST + 3;  // 1053

// The host's Format menu: encoding conversions.
constexpr UINT IDM_FORMAT_CONV2_ANSI = 45009;
constexpr UINT IDM_FORMAT_CONV2_AS_UTF_8 = 45010;
constexpr UINT IDM_FORMAT_CONV2_UTF_8 = 45011;
constexpr UINT IDM_FORMAT_CONV2_UCS_2BE = 45012;
constexpr UINT IDM_FORMAT_CONV2_UCS_2LE = 45013;

// Scintilla messages and notifications this project uses.
constexpr UINT SCI_GETLENGTH = 2006;
constexpr UINT SCI_GETCURRENTPOS = 2008;
constexpr UINT SCI_GOTOPOS = 2025;
constexpr UINT SCI_GETEOLMODE = 2030;
constexpr UINT SCI_GETTEXTRANGEFULL = 2039;
constexpr UINT SCI_SETSEL = 2160;
constexpr UINT SCI_GETTEXTRANGE = 2162;
constexpr UINT SCI_LINEFROMPOSITION = 2166;
constexpr UINT SCI_POSITIONFROMLINE = 2167;
constexpr UINT SCI_SETTEXT = 2181;
constexpr UINT SCI_GETTEXT = 2182;
constexpr UINT SCI_GETDIRECTFUNCTION = 2184;
constexpr UINT SCI_GETDIRECTPOINTER = 2185;
constexpr UINT SCI_SETTARGETSTART = 2190;
constexpr UINT SCI_SETTARGETEND = 2192;
constexpr UINT SCI_SEARCHINTARGET = 2197;
constexpr UINT SCI_REPLACETARGET = 2194;
constexpr UINT SCI_SETSEARCHFLAGS = 2198;
constexpr UINT SCI_GETTARGETSTART = 2191;
constexpr UINT SCI_GETTARGETEND = 2193;
constexpr UINT SCI_SETSELECTIONSTART = 2142;
constexpr UINT SCI_SETSELECTIONEND = 2144;
constexpr UINT SCI_GETSELECTIONSTART = 2143;
constexpr UINT SCI_GETSELECTIONEND = 2145;
constexpr UINT SCI_GETCODEPAGE = 2137;
constexpr UINT SCI_SETCODEPAGE = 2037;
constexpr UINT SCI_GETLINECOUNT = 2154;
constexpr UINT SCI_GETLINEENDPOSITION = 2136;
constexpr UINT SCI_GETLINEINDENTATION = 2127;
constexpr UINT SCI_REPLACESEL = 2170;
constexpr UINT SCI_INSERTTEXT = 2003;
constexpr UINT SCI_EMPTYUNDOBUFFER = 2175;
constexpr UINT SCI_SETSAVEPOINT = 2014;
constexpr UINT SCI_COPY = 2178;
constexpr UINT SCI_PASTE = 2179;
constexpr UINT SCI_SELECTALL = 2013;
constexpr UINT SCI_CLEARALL = 2004;
constexpr UINT SCI_SETEOLMODE = 2031;
constexpr UINT SCI_GOTOLINE = 2024;
constexpr UINT SCI_GETDOCPOINTER = 2357;
constexpr UINT SCI_INDICSETSTYLE = 2080;
constexpr UINT SCI_INDICSETFORE = 2082;
constexpr UINT SCI_SETINDICATORCURRENT = 2500;
constexpr UINT SCI_INDICATORFILLRANGE = 2504;
constexpr UINT SCI_INDICATORCLEARRANGE = 2505;
constexpr UINT SCI_INDICATORVALUEAT = 2507;
constexpr UINT SCI_CALLTIPSHOW = 2200;
constexpr UINT SCI_CALLTIPCANCEL = 2201;
constexpr UINT SCI_CALLTIPACTIVE = 2202;
constexpr int INDIC_SQUIGGLE = 1;
constexpr int INDIC_COMPOSITIONTHICK = 14;
constexpr UINT SCI_INDICSETFLAGS = 2684;
constexpr int SC_INDICFLAG_VALUEFORE = 1;
constexpr UINT SCI_SETINDICATORVALUE = 2502;
constexpr int SC_INDICVALUEBIT = 0x1000000;
constexpr UINT SCI_SETMOUSEDWELLTIME = 2264;
constexpr UINT SCI_GETMOUSEDWELLTIME = 2265;
constexpr UINT SCI_AUTOCSHOW = 2100;
constexpr UINT SCI_AUTOCCANCEL = 2101;
constexpr UINT SCI_AUTOCACTIVE = 2102;
constexpr UINT SCI_AUTOCCOMPLETE = 2104;
constexpr UINT SCI_AUTOCSETSEPARATOR = 2106;
constexpr UINT SCI_AUTOCGETSEPARATOR = 2107;
constexpr UINT SCI_AUTOCSETIGNORECASE = 2115;
constexpr UINT SCI_AUTOCGETIGNORECASE = 2116;
constexpr UINT SCI_AUTOCSETAUTOHIDE = 2118;
constexpr UINT SCI_AUTOCGETAUTOHIDE = 2119;
constexpr UINT SCI_AUTOCGETTYPESEPARATOR = 2285;
constexpr UINT SCI_AUTOCSETTYPESEPARATOR = 2286;
constexpr UINT SCI_AUTOCGETCURRENTTEXT = 2610;
constexpr UINT SCI_AUTOCSETORDER = 2660;
constexpr UINT SCI_AUTOCGETORDER = 2661;
constexpr UINT SCI_SETTARGETRANGE = 2686;
constexpr int SC_ORDER_CUSTOM = 2;

constexpr UINT SCN_CHARADDED = 2001;
constexpr UINT SCN_UPDATEUI = 2007;
constexpr UINT SCN_AUTOCSELECTION = 2022;
constexpr UINT SCN_AUTOCCANCELLED = 2025;
constexpr UINT SCN_MODIFIED = 2008;
constexpr UINT SCN_DWELLSTART = 2016;
constexpr UINT SCN_DWELLEND = 2017;
constexpr int SC_MOD_INSERTTEXT = 0x1;
constexpr int SC_MOD_DELETETEXT = 0x2;

constexpr int SCFIND_REGEXP = 0x00200000;
constexpr int SCFIND_POSIX = 0x00400000;
constexpr int SCFIND_CXX11REGEX = 0x00800000;

using SciFnDirect = std::intptr_t(__cdecl*)(std::intptr_t ptr, unsigned int msg, std::uintptr_t wParam,
                                            std::intptr_t lParam);

// Layout checks: a record laid out differently from the editor's crashes it.
#if defined(_WIN64)
static_assert(sizeof(NppData) == 24);
static_assert(sizeof(FuncItem) == 152 && offsetof(FuncItem, pFunc) == 128 && offsetof(FuncItem, cmdID) == 136 &&
              offsetof(FuncItem, init2Check) == 140 && offsetof(FuncItem, pShKey) == 144);
static_assert(sizeof(tTbData) == 72 && offsetof(tTbData, pszName) == 8 && offsetof(tTbData, dlgID) == 16 &&
              offsetof(tTbData, uMask) == 20 && offsetof(tTbData, hIconTab) == 24 &&
              offsetof(tTbData, pszAddInfo) == 32 && offsetof(tTbData, rcFloat) == 40 &&
              offsetof(tTbData, iPrevCont) == 56 && offsetof(tTbData, pszModuleName) == 64);
static_assert(sizeof(CommunicationInfo) == 24 && offsetof(CommunicationInfo, srcModuleName) == 8 &&
              offsetof(CommunicationInfo, info) == 16);
static_assert(sizeof(SCNotification) == 160 && offsetof(SCNotification, nmhdr.code) == 16 &&
              offsetof(SCNotification, position) == 24 && offsetof(SCNotification, ch) == 32 &&
              offsetof(SCNotification, modifiers) == 36 && offsetof(SCNotification, modificationType) == 40 &&
              offsetof(SCNotification, text) == 48 && offsetof(SCNotification, length) == 56 &&
              offsetof(SCNotification, linesAdded) == 64 && offsetof(SCNotification, message) == 72 &&
              offsetof(SCNotification, wParam) == 80 && offsetof(SCNotification, lParam) == 88 &&
              offsetof(SCNotification, line) == 96 && offsetof(SCNotification, foldLevelNow) == 104 &&
              offsetof(SCNotification, foldLevelPrev) == 108 && offsetof(SCNotification, margin) == 112 &&
              offsetof(SCNotification, listType) == 116 && offsetof(SCNotification, x) == 120 &&
              offsetof(SCNotification, y) == 124 && offsetof(SCNotification, token) == 128 &&
              offsetof(SCNotification, annotationLinesAdded) == 136 && offsetof(SCNotification, updated) == 144 &&
              offsetof(SCNotification, listCompletionMethod) == 148 &&
              offsetof(SCNotification, characterSource) == 152);
static_assert(sizeof(Sci_TextRange) == 24);
static_assert(sizeof(Sci_TextRangeFull) == 24 && offsetof(Sci_TextRangeFull, cpMax) == 8 &&
              offsetof(Sci_TextRangeFull, lpstrText) == 16);
#else
static_assert(sizeof(NppData) == 12);
static_assert(sizeof(FuncItem) == 144 && offsetof(FuncItem, pFunc) == 128 && offsetof(FuncItem, cmdID) == 132 &&
              offsetof(FuncItem, init2Check) == 136 && offsetof(FuncItem, pShKey) == 140);
static_assert(sizeof(tTbData) == 48 && offsetof(tTbData, pszName) == 4 && offsetof(tTbData, dlgID) == 8 &&
              offsetof(tTbData, uMask) == 12 && offsetof(tTbData, hIconTab) == 16 &&
              offsetof(tTbData, pszAddInfo) == 20 && offsetof(tTbData, rcFloat) == 24 &&
              offsetof(tTbData, iPrevCont) == 40 && offsetof(tTbData, pszModuleName) == 44);
static_assert(sizeof(CommunicationInfo) == 12 && offsetof(CommunicationInfo, srcModuleName) == 4 &&
              offsetof(CommunicationInfo, info) == 8);
static_assert(sizeof(SCNotification) == 100 && offsetof(SCNotification, nmhdr.code) == 8 &&
              offsetof(SCNotification, position) == 12 && offsetof(SCNotification, ch) == 16 &&
              offsetof(SCNotification, modifiers) == 20 && offsetof(SCNotification, modificationType) == 24 &&
              offsetof(SCNotification, text) == 28 && offsetof(SCNotification, length) == 32 &&
              offsetof(SCNotification, linesAdded) == 36 && offsetof(SCNotification, message) == 40 &&
              offsetof(SCNotification, wParam) == 44 && offsetof(SCNotification, lParam) == 48 &&
              offsetof(SCNotification, line) == 52 && offsetof(SCNotification, foldLevelNow) == 56 &&
              offsetof(SCNotification, foldLevelPrev) == 60 && offsetof(SCNotification, margin) == 64 &&
              offsetof(SCNotification, listType) == 68 && offsetof(SCNotification, x) == 72 &&
              offsetof(SCNotification, y) == 76 && offsetof(SCNotification, token) == 80 &&
              offsetof(SCNotification, annotationLinesAdded) == 84 && offsetof(SCNotification, updated) == 88 &&
              offsetof(SCNotification, listCompletionMethod) == 92 && offsetof(SCNotification, characterSource) == 96);
static_assert(sizeof(Sci_TextRange) == 12);
static_assert(sizeof(Sci_TextRangeFull) == 12 && offsetof(Sci_TextRangeFull, cpMax) == 4 &&
              offsetof(Sci_TextRangeFull, lpstrText) == 8);
#endif
static_assert(sizeof(DarkModeColors) == 48 && offsetof(DarkModeColors, softerBackground) == 4 &&
              offsetof(DarkModeColors, text) == 20 && offsetof(DarkModeColors, disabledEdge) == 44);
static_assert(sizeof(ShortcutKey) == 4);
static_assert(offsetof(CommunicationInfo, internalMsg) == 0 && sizeof(long) == 4);

}  // namespace npp
