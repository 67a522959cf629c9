#include "skineditor/SkinNavigator_win.h"

#include "base/TextCodec.h"
#include "editor/NppEditor_win.h"
#include "skineditor/ReferencesPanel_win.h"
#include "skin/ControlIds.h"
#include "skin/SkinModelHolder.h"
#include "skin/SkinReferences.h"

#include <vector>

namespace skineditor {

namespace {

// How often, at most, the caret's moves have the skin's files looked at.
constexpr ULONGLONG kSkinLookInterval = 2000;
// How many unreadable files a status line names.
constexpr std::size_t kProblemsNamed = 3;

bool isXmlFile(const std::wstring& path) {
    return path.size() > 4 && skin::ReferenceKey(path.substr(path.size() - 4)) == L".xml";
}

// Eight hex digits AARRGGBB as the colour drawn (the alpha is not drawn).
bool colourOf(const std::string& value, COLORREF& out) {
    if (value.size() != 8) return false;
    unsigned long argb = 0;
    for (const char c : value) {
        int digit = 0;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return false;
        }
        argb = (argb << 4) | static_cast<unsigned long>(digit);
    }
    out = RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
    return true;
}

std::wstring withinSkin(const skin::SkinModel& model, const std::wstring& path) {
    const std::wstring& folder = model.skinFolder();
    if (path.size() > folder.size() + 1 &&
        skin::ReferenceKey(path.substr(0, folder.size())) == skin::ReferenceKey(folder)) {
        return path.substr(folder.size() + 1);
    }
    return path;
}

// "; not read: Font.xml (reason), ..." or nothing.
std::wstring problemsText(const skin::SkinModel& model) {
    const std::vector<skin::ModelProblem> problems = model.problems();
    if (problems.empty()) return {};
    std::wstring out = L"; not read: ";
    for (std::size_t i = 0; i < problems.size() && i < kProblemsNamed; ++i) {
        if (i > 0) out += L", ";
        out += withinSkin(model, problems[i].path) + L" (" + text::fromUtf8(problems[i].reason) + L")";
    }
    if (problems.size() > kProblemsNamed)
        out += L" and " + std::to_wstring(problems.size() - kProblemsNamed) + L" more";
    return out;
}

std::wstring trimmedStart(const std::string& line) {
    const std::size_t first = line.find_first_not_of(" \t");
    return text::fromUtf8(first == std::string::npos ? std::string() : line.substr(first));
}

Place placeOf(const skin::SkinModel& model, const skin::Location& at) {
    Place place;
    place.path = at.path;
    place.shownName = withinSkin(model, at.path);
    place.line = at.line;
    place.text = trimmedStart(model.lineText(at));
    return place;
}

}  // namespace

struct SkinNavigator::Spot {
    const skin::SkinModel* model = nullptr;
    skin::NameAt name;
    skin::ControlIdSite id;  // a control id, where the model holds the document's text
    std::intptr_t start = -1;  // the name's position in the view
};

SkinNavigator::SkinNavigator(const editor::NppEditor& editor, skin::SkinModelHolder& models, ReferencesPanel& panel)
    : editor_(editor), models_(models), panel_(panel) {}

void SkinNavigator::connected() { editor_.setDwellTime(hover_ ? kDwellMilliseconds : 10000000); }

void SkinNavigator::setHover(bool on) {
    hover_ = on;
    if (editor_.connected()) connected();
    if (!on && tipView_ != nullptr && editor_.callTipShown(tipView_)) editor_.cancelCallTip(tipView_);
    tipView_ = nullptr;
}

void SkinNavigator::documentActivated() {
    if (!editor_.connected()) return;
    const HWND view = editor_.activeView();
    // A document left as its file has it goes back to the file, which the
    // model then follows when it changes on disk (or the document is closed).
    if (view_ != nullptr && clean_) models_.clearOverlay(path_);
    if (colourIndicator_ >= 0 && view_ != nullptr) {
        editor_.clearIndicator(view_, colourIndicator_, 0, editor_.lineStart(view_, editor_.lineCount(view_)));
    }
    view_ = nullptr;
    tipView_ = nullptr;
    folder_ = editor_.currentDirectory();
    path_ = editor_.currentPath();
    // Only a saved skin file belongs to a skin.
    if (folder_.empty() || !isXmlFile(path_)) return;
    view_ = view;
    document_ = editor_.documentOf(view);
    if (!indicatorAsked_) {
        indicatorAsked_ = true;
        colourIndicator_ = editor_.allocateIndicator();
        editor_.styleColourUnderline(colourIndicator_);
    }
    handOverText();
    models_.request(folder_);
    lastSkinLook_ = ::GetTickCount64();
    paintColours();
}

void SkinNavigator::textModified(const npp::SCNotification& n) {
    if (view_ == nullptr || n.nmhdr.hwndFrom != view_) return;
    if ((n.modificationType & (npp::SC_MOD_INSERTTEXT | npp::SC_MOD_DELETETEXT)) != 0) textChanged_ = true;
}

void SkinNavigator::viewUpdated(HWND view) {
    if (view_ == nullptr || view != view_) return;
    if (editor_.documentOf(view_) != document_) {
        // Another document is shown here before the editor said so.
        documentActivated();
        return;
    }
    if (textChanged_) {
        handOverText();
        paintColours();
    }
    clean_ = !editor_.isModified(view_);
    const ULONGLONG now = ::GetTickCount64();
    if (now - lastSkinLook_ >= kSkinLookInterval) {
        lastSkinLook_ = now;
        models_.request(folder_);
    }
}

void SkinNavigator::modelChanged() {
    // A view that shows another document by now hears of it at its next update.
    if (view_ != nullptr && editor_.documentOf(view_) == document_) paintColours();
}

void SkinNavigator::handOverText() {
    textChanged_ = false;
    if (view_ == nullptr) return;
    clean_ = !editor_.isModified(view_);
    models_.setOverlay(path_, editor_.documentText(view_));
}

void SkinNavigator::paintColours() {
    if (colourIndicator_ < 0 || view_ == nullptr) return;
    editor_.clearIndicator(view_, colourIndicator_, 0, editor_.lineStart(view_, editor_.lineCount(view_)));
    const skin::SkinModel* model = models_.model(folder_);
    const skin::SkinFile* file = model == nullptr ? nullptr : model->file(path_);
    // Positions hold only for the text the model read.
    if (file == nullptr || textChanged_) return;
    for (const skin::SymbolReference& ref : file->references) {
        if (ref.kind != skin::SymbolKind::Colour || ref.at.line == 0) continue;
        COLORREF colour = 0;
        bool known = false;
        if (ref.form == skin::ReferenceForm::Literal) {
            known = colourOf(ref.name, colour);
        } else if (ref.form == skin::ReferenceForm::Name) {
            const std::vector<const skin::Definition*> defs = model->definitions(ref.kind, ref.name);
            known = !defs.empty() && colourOf(defs.front()->value, colour);
        }
        if (!known) continue;
        const std::intptr_t start = editor_.lineStart(view_, static_cast<std::intptr_t>(ref.at.line) - 1);
        if (start < 0) continue;
        editor_.fillIndicatorColour(view_, colourIndicator_, colour, start + static_cast<std::intptr_t>(ref.at.column),
                                    static_cast<std::intptr_t>(ref.at.length));
    }
}

SkinNavigator::Spot SkinNavigator::spotAt(HWND view, std::intptr_t position, bool wait) {
    Spot spot;
    if (view == nullptr || view != editor_.activeView() || position < 0) return spot;
    const std::wstring folder = editor_.currentDirectory();
    const std::wstring path = editor_.currentPath();
    if (folder.empty() || path.empty()) return spot;
    spot.model = wait ? models_.await(folder) : models_.model(folder);
    if (spot.model == nullptr) {
        if (!wait) models_.request(folder);
        return spot;
    }
    const std::intptr_t line = editor_.lineFromPosition(view, position);
    const std::intptr_t lineStart = editor_.lineStart(view, line);
    if (line < 0 || lineStart < 0 || position < lineStart) return spot;
    const std::string text = editor_.documentText(view);
    const skin::SkinFile* file = spot.model->file(path);
    if (file != nullptr && file->text == text) {
        spot.id = skin::ControlIdAt(*spot.model, path, static_cast<std::uint32_t>(line + 1),
                                    static_cast<std::uint32_t>(position - lineStart));
        if (spot.id.found) {
            spot.start = lineStart + static_cast<std::intptr_t>(spot.id.at.column);
            return spot;
        }
    }
    spot.name = spot.model->nameAt(path, text, static_cast<std::uint32_t>(line + 1),
                                   static_cast<std::uint32_t>(position - lineStart));
    if (spot.name.found) spot.start = lineStart + static_cast<std::intptr_t>(spot.name.at.column);
    return spot;
}

void SkinNavigator::tell(HWND view, std::intptr_t at, const std::string& utf8) const {
    editor_.showCallTip(view, at, text::toCodePage(text::fromUtf8(utf8), editor_.codePage(view)));
}

void SkinNavigator::dwellStarted(const npp::SCNotification& n) {
    if (!hover_ || n.position < 0) return;
    const HWND view = n.nmhdr.hwndFrom;
    // The document's latest text first, so that the tip speaks of what is shown.
    if (view == view_ && textChanged_) handOverText();
    const Spot spot = spotAt(view, n.position, false);
    if (spot.model == nullptr || (!spot.name.found && !spot.id.found)) return;
    const std::string said = spot.id.found ? skin::ControlIdHover(spot.id) : spot.model->hover(spot.name);
    if (said.empty()) return;
    tell(view, spot.start, said);
    tipView_ = view;
}

void SkinNavigator::dwellEnded(const npp::SCNotification& n) {
    if (tipView_ == nullptr || n.nmhdr.hwndFrom != tipView_) return;
    // Only the tip shown here: the editor shows call tips of its own.
    if (editor_.callTipShown(tipView_)) editor_.cancelCallTip(tipView_);
    tipView_ = nullptr;
}

SkinNavigator::Spot SkinNavigator::spotAtCaret(HWND& view) {
    view = editor_.activeView();
    if (view == view_ && textChanged_) handOverText();
    const std::intptr_t caret = editor_.caretPosition(view);
    Spot spot = spotAt(view, caret, true);
    if (spot.model == nullptr) {
        tell(view, caret, "The skin of this document could not be read");
    } else if (!spot.name.found && !spot.id.found) {
        tell(view, caret, "No name of the skin at the caret");
    }
    return spot;
}

void SkinNavigator::goToDefinition() {
    if (!editor_.connected()) return;
    HWND view = nullptr;
    const Spot spot = spotAtCaret(view);
    if (spot.id.found) {
        goToControl(view, spot);
        return;
    }
    if (spot.model == nullptr || !spot.name.found) return;
    if (spot.name.form == skin::ReferenceForm::Dynamic) {
        tell(view, spot.start, "Built at run time: cannot be followed");
        return;
    }
    const skin::Definition* target = nullptr;
    for (const skin::Definition* def : spot.model->definitions(spot.name.kind, spot.name.name, spot.name.scope)) {
        // A texture is an image, not a place in a text.
        if (def->at.line == 0 && def->kind != skin::SymbolKind::IncludeFile) continue;
        target = def;
        break;
    }
    if (target == nullptr) {
        const std::string said = spot.model->hover(spot.name);
        tell(view, spot.start,
             said.empty()
                 ? "No definition of " + std::string(skin::symbolKindName(spot.name.kind)) + " " + spot.name.name
                 : said);
        return;
    }
    open(target->nameAt);
}

void SkinNavigator::open(const skin::Location& target) const {
    const std::intptr_t line = target.line > 0 ? static_cast<std::intptr_t>(target.line) - 1 : 0;
    if (!editor_.openAtLine(target.path, line)) return;
    const HWND shown = editor_.activeView();
    const std::intptr_t start = editor_.lineStart(shown, line);
    if (start >= 0 && target.line > 0) {
        const std::intptr_t at = start + static_cast<std::intptr_t>(target.column);
        editor_.select(shown, at, at);
    }
}

void SkinNavigator::goToControl(HWND view, const Spot& spot) {
    const std::vector<skin::ControlTarget> targets = skin::ControlIdDefinitions(spot.id);
    if (targets.empty()) {
        tell(view, spot.start, skin::ControlIdHover(spot.id));
        return;
    }
    if (targets.size() == 1) {
        open(targets.front().at);
        return;
    }
    // Controls of exclusive groups may share an id: the author picks one.
    std::vector<Place> places;
    for (const skin::ControlTarget& target : targets) places.push_back(placeOf(*spot.model, target.at));
    panel_.showPlaces(std::to_wstring(places.size()) + L" controls with id " +
                          std::to_wstring(spot.id.in.front().second.value) + L": double-click one to open it",
                      std::move(places));
}

void SkinNavigator::findReferences() {
    if (!editor_.connected()) return;
    HWND view = nullptr;
    const Spot spot = spotAtCaret(view);
    if (spot.model == nullptr || (!spot.name.found && !spot.id.found)) return;
    if (!spot.id.found && spot.name.form != skin::ReferenceForm::Name) {
        tell(view, spot.start, "No name of the skin at the caret");
        return;
    }
    std::vector<skin::Location> found;
    if (spot.id.found) {
        found = skin::ControlIdReferences(spot.id);
    } else {
        for (const skin::SymbolReference* ref : spot.model->references(spot.name.kind, spot.name.name, spot.name.scope))
            found.push_back(ref->at);
    }
    std::vector<Place> places;
    for (const skin::Location& at : found) places.push_back(placeOf(*spot.model, at));
    const std::wstring what =
        spot.id.found ? L"control id " + std::to_wstring(spot.id.in.front().second.value)
                      : text::fromUtf8(std::string(skin::symbolKindName(spot.name.kind)) + " " + spot.name.name);
    const std::wstring count =
        places.size() == 1 ? L"1 reference to " : std::to_wstring(places.size()) + L" references to ";
    panel_.showPlaces(count + what + problemsText(*spot.model), std::move(places));
}

}  // namespace skineditor
