// Documents: reading a file into a Scintilla document with its encoding and
// line ends, showing it in a view, converting its encoding, writing it back.
#include "HostImpl.h"

#include "base/TextCodec.h"

namespace host {

bool isUnicodeEncoding(Encoding e) { return e != Encoding::Ansi; }

const wchar_t* encodingName(Encoding e) {
    switch (e) {
    case Encoding::Ansi:
        return L"ansi";
    case Encoding::Utf8:
        return L"utf8";
    case Encoding::Utf8Bom:
        return L"utf8bom";
    case Encoding::Ucs2Be:
        return L"ucs2be";
    case Encoding::Ucs2Le:
        return L"ucs2le";
    }
    return L"?";
}

namespace {

int detectEol(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') return (i + 1 < text.size() && text[i + 1] == '\n') ? 0 : 1;
        if (text[i] == '\n') return 2;
    }
    return 0;
}

std::wstring utf16FromBytes(const std::string& bytes, std::size_t from, bool bigEndian) {
    std::wstring out;
    out.reserve((bytes.size() - from) / 2);
    for (std::size_t i = from; i + 1 < bytes.size(); i += 2) {
        auto a = static_cast<unsigned char>(bytes[i]);
        auto b = static_cast<unsigned char>(bytes[i + 1]);
        out += static_cast<wchar_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    }
    return out;
}

const wchar_t kTitleSuffix[] = L" - Quorrel host";

}  // namespace

DecodedFile decodeFile(const std::string& bytes) {
    DecodedFile out;
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        out.text = bytes.substr(3);
        out.encoding = Encoding::Utf8Bom;
    } else if (bytes.size() >= 2 && (bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0)) {
        bool big = bytes[0] == '\xFE';
        out.text = text::toUtf8(utf16FromBytes(bytes, 2, big));
        out.encoding = big ? Encoding::Ucs2Be : Encoding::Ucs2Le;
    } else if (text::toUtf8(text::fromUtf8(bytes)) == bytes) {
        out.text = bytes;
        out.encoding = Encoding::Utf8;
    } else {
        out.text = bytes;
        out.encoding = Encoding::Ansi;
        out.codePage = 0;
    }
    out.eolMode = detectEol(out.text);
    return out;
}

std::string encodeDocument(const std::string& sciBytes, Encoding encoding) {
    switch (encoding) {
    case Encoding::Ansi:
    case Encoding::Utf8:
        return sciBytes;
    case Encoding::Utf8Bom:
        return "\xEF\xBB\xBF" + sciBytes;
    case Encoding::Ucs2Be:
    case Encoding::Ucs2Le: {
        bool big = encoding == Encoding::Ucs2Be;
        std::wstring wide = text::fromUtf8(sciBytes);
        std::string out = big ? "\xFE\xFF" : "\xFF\xFE";
        for (wchar_t c : wide) {
            auto hi = static_cast<char>((c >> 8) & 0xFF);
            auto lo = static_cast<char>(c & 0xFF);
            out += big ? hi : lo;
            out += big ? lo : hi;
        }
        return out;
    }
    }
    return sciBytes;
}

Document* Host::Impl::findDocument(const std::wstring& path) const {
    std::wstring full = fullPath(path);
    for (auto& doc : documents.open) {
        if (lstrcmpiW(doc->path.c_str(), full.c_str()) == 0 || doc->path == path) return doc.get();
    }
    return nullptr;
}

bool Host::Impl::open(const std::wstring& path, std::wstring* error) {
    std::wstring full = fullPath(path);
    if (Document* known = findDocument(full)) {
        show(*known);
        return true;
    }
    std::string bytes;
    if (!readFileBytes(full, bytes)) {
        if (error) *error = L"cannot read " + full + L": " + formatWin32Error(GetLastError());
        return false;
    }
    DecodedFile decoded = decodeFile(bytes);
    auto doc = std::make_unique<Document>();
    doc->path = full;
    doc->encoding = decoded.encoding;
    doc->eolMode = decoded.eolMode;
    doc->bufferId = documents.nextBufferId++;
    int view = frame.currentView;
    doc->docPointer = send(view, sci::CreateDocument, 0, 0);
    if (doc->docPointer == 0) {
        if (error) *error = L"Scintilla could not create a document";
        return false;
    }
    // Fill it while shown in the view, then keep the host's reference.
    send(view, sci::SetDocPointer, 0, doc->docPointer);
    send(view, npp::SCI_SETCODEPAGE, static_cast<WPARAM>(decoded.codePage));
    send(view, npp::SCI_SETEOLMODE, static_cast<WPARAM>(decoded.eolMode));
    send(view, sci::SetUndoCollection, 0);
    send(view, npp::SCI_SETTEXT, 0, reinterpret_cast<LPARAM>(decoded.text.c_str()));
    send(view, sci::SetUndoCollection, 1);
    send(view, npp::SCI_EMPTYUNDOBUFFER);
    send(view, npp::SCI_SETSAVEPOINT);
    send(view, npp::SCI_GOTOPOS, 0);
    Document* raw = doc.get();
    documents.open.push_back(std::move(doc));
    documents.shown[view] = raw;
    SetWindowTextW(frame.main, (fileNameOf(full) + kTitleSuffix).c_str());
    notifyAll(npp::NPPN_BUFFERACTIVATED, raw->bufferId);
    return true;
}

void Host::Impl::show(Document& doc) {
    int view = frame.currentView;
    if (documents.shown[view] == &doc) {
        notifyAll(npp::NPPN_BUFFERACTIVATED, doc.bufferId);
        return;
    }
    send(view, sci::SetDocPointer, 0, doc.docPointer);
    documents.shown[view] = &doc;
    SetWindowTextW(frame.main, (fileNameOf(doc.path) + kTitleSuffix).c_str());
    notifyAll(npp::NPPN_BUFFERACTIVATED, doc.bufferId);
}

std::string Host::Impl::currentBytes() const {
    Document* d = current();
    int v = frame.currentView;
    auto length = send(v, npp::SCI_GETLENGTH);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    send(v, npp::SCI_GETTEXT, static_cast<WPARAM>(length + 1), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return encodeDocument(text, d != nullptr ? d->encoding : Encoding::Utf8);
}

void Host::Impl::convertEncoding(UINT command) {
    Document* doc = current();
    if (doc == nullptr) return;
    Encoding target = Encoding::Ansi;
    switch (command) {
    case npp::IDM_FORMAT_CONV2_ANSI:
        target = Encoding::Ansi;
        break;
    case npp::IDM_FORMAT_CONV2_AS_UTF_8:
        target = Encoding::Utf8;
        break;
    case npp::IDM_FORMAT_CONV2_UTF_8:
        target = Encoding::Utf8Bom;
        break;
    case npp::IDM_FORMAT_CONV2_UCS_2BE:
        target = Encoding::Ucs2Be;
        break;
    default:
        target = Encoding::Ucs2Le;
        break;
    }
    if (isUnicodeEncoding(target) != isUnicodeEncoding(doc->encoding)) {
        // As the editor does it: the text travels through the system
        // clipboard, and a text the user had there is put back afterwards. So
        // a clipboard viewer sees two changes when the clipboard held text
        // and one when it did not.
        int v = frame.currentView;
        bool hadText = false;
        std::wstring saved = readClipboardText(frame.main, hadText);
        bool hasText = send(v, npp::SCI_GETLENGTH) > 0;
        if (hasText) {
            send(v, npp::SCI_SELECTALL);
            send(v, npp::SCI_COPY);
        } else {
            writeClipboardText(frame.main, L"");  // the same traffic for an empty document
        }
        send(v, npp::SCI_SETCODEPAGE, isUnicodeEncoding(target) ? 65001 : 0);
        if (hasText) {
            send(v, npp::SCI_SELECTALL);
            send(v, npp::SCI_PASTE);
        }
        send(v, npp::SCI_GOTOPOS, 0);
        if (hadText) writeClipboardText(frame.main, saved);
    }
    doc->encoding = target;
}

// ---------------------------------------------------------------------------

bool Host::openFile(const std::wstring& path, std::wstring* error) { return impl_->open(path, error); }

std::wstring Host::currentPath() const {
    Document* d = impl_->current();
    return d != nullptr ? d->path : std::wstring();
}

std::string Host::documentBytes() const { return impl_->currentBytes(); }

bool Host::saveCurrentAs(const std::wstring& path) { return writeFileBytes(path, documentBytes()); }

bool Host::saveCurrent() {
    Document* doc = impl_->current();
    if (doc == nullptr) return false;
    impl_->notifyAll(npp::NPPN_FILEBEFORESAVE, doc->bufferId);
    if (!writeFileBytes(doc->path, documentBytes())) return false;
    impl_->send(impl_->frame.currentView, npp::SCI_SETSAVEPOINT);
    impl_->notifyAll(npp::NPPN_FILESAVED, doc->bufferId);
    return true;
}

bool Host::activateDocument(const std::wstring& path) {
    Document* doc = impl_->findDocument(path);
    if (doc == nullptr) return false;
    impl_->show(*doc);
    return true;
}

bool Host::setCaret(int line, int column) {
    int v = impl_->frame.currentView;
    auto lines = impl_->send(v, npp::SCI_GETLINECOUNT);
    if (line < 0 || line >= lines || column < 0) return false;
    auto start = impl_->send(v, npp::SCI_POSITIONFROMLINE, static_cast<WPARAM>(line));
    auto end = impl_->send(v, npp::SCI_GETLINEENDPOSITION, static_cast<WPARAM>(line));
    auto pos = impl_->send(v, sci::FindColumn, static_cast<WPARAM>(line), column);
    // FINDCOLUMN stops at the line end: a column past it is an error, not the end.
    if (pos < start || pos > end || impl_->send(v, sci::GetColumn, static_cast<WPARAM>(pos)) != column) return false;
    SetFocus(impl_->frame.views[v]);
    impl_->send(v, npp::SCI_GOTOPOS, static_cast<WPARAM>(pos));
    return true;
}

}  // namespace host

namespace host {

namespace {

constexpr UINT kPointXFromPosition = 2164;
constexpr UINT kPointYFromPosition = 2165;
constexpr int kDwellNever = 10000000;  // SC_TIME_FOREVER: Scintilla's "no dwell"

// The notification a view sends its parent about a resting mouse.
bool sendDwell(Host::Impl& host, UINT code, int position) {
    const int v = host.frame.currentView;
    const HWND view = host.frame.views[v];
    const auto time = host.send(v, npp::SCI_GETMOUSEDWELLTIME);
    if (time <= 0 || time >= kDwellNever) return false;
    npp::SCNotification scn{};
    scn.nmhdr.hwndFrom = view;
    scn.nmhdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(view));
    scn.nmhdr.code = code;
    scn.position = position;
    if (position >= 0) {
        scn.x = static_cast<int>(host.send(v, kPointXFromPosition, 0, position));
        scn.y = static_cast<int>(host.send(v, kPointYFromPosition, 0, position));
    }
    SendMessageW(host.frame.main, WM_NOTIFY, scn.nmhdr.idFrom, reinterpret_cast<LPARAM>(&scn));
    return true;
}

}  // namespace

bool Host::dwellAt(int position) { return sendDwell(*impl_, npp::SCN_DWELLSTART, position); }

bool Host::dwellEnd() { return sendDwell(*impl_, npp::SCN_DWELLEND, -1); }

}  // namespace host
