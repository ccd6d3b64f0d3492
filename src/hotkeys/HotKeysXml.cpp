#include "hotkeys/HotKeysXml.h"

#include <windows.h>
#include <msxml2.h>
#include <oleauto.h>

#include <algorithm>

#include "base/Handles.h"
#include "base/WinUtil.h"
#include "hotkeys/HotKeyRules.h"

namespace {
constexpr const wchar_t* kApplicationName = L"Orvo Launcher";
constexpr const wchar_t* kAuthor = L"Orvo Solution";
// The headers lack IXMLDOMDocument2's identifier.
constexpr IID kIidXmlDomDocument2 = {0x2933bf95, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};

class Bstr {
public:
    explicit Bstr(const std::wstring& text) : m_value(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    Bstr() = default;
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { ::SysFreeString(m_value); }
    BSTR get() const noexcept { return m_value; }
    BSTR* put() noexcept
    {
        ::SysFreeString(m_value);
        m_value = nullptr;
        return &m_value;
    }
    std::wstring Text() const { return m_value ? std::wstring(m_value, ::SysStringLen(m_value)) : std::wstring(); }

private:
    BSTR m_value = nullptr;
};

class Variant {
public:
    Variant() { ::VariantInit(&m_value); }
    explicit Variant(const std::wstring& text) : Variant()
    {
        m_value.vt = VT_BSTR;
        m_value.bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { ::VariantClear(&m_value); }
    VARIANT& get() noexcept { return m_value; }
    bool IsText() const noexcept { return m_value.vt == VT_BSTR; }
    std::wstring Text() const
    {
        return IsText() && m_value.bstrVal ? std::wstring(m_value.bstrVal, ::SysStringLen(m_value.bstrVal)) : std::wstring();
    }

private:
    VARIANT m_value;
};

// The newest DOM the system has: MSXML 6, else 3.
ComPtr<IXMLDOMDocument> CreateDocument()
{
    ComPtr<IXMLDOMDocument> document;
    for (const wchar_t* progId : {L"Msxml2.DOMDocument.6.0", L"Msxml2.DOMDocument.3.0"}) {
        CLSID clsid{};
        if (FAILED(::CLSIDFromProgID(progId, &clsid))) continue;
        if (SUCCEEDED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                                         reinterpret_cast<void**>(document.put()))))
            break;
    }
    return document;
}

bool SetAttribute(IXMLDOMElement* element, const wchar_t* name, const std::wstring& value)
{
    Variant text(XmlSafeText(value));
    return SUCCEEDED(element->setAttribute(Bstr(name).get(), text.get()));
}

// A new element appended to `parent`.
ComPtr<IXMLDOMElement> AppendElement(IXMLDOMDocument* document, IXMLDOMNode* parent, const wchar_t* name)
{
    ComPtr<IXMLDOMElement> element;
    ComPtr<IXMLDOMNode> added;
    if (FAILED(document->createElement(Bstr(name).get(), element.put())) || !element) return {};
    if (FAILED(parent->appendChild(element.get(), added.put()))) return {};
    return element;
}

bool WriteHotKeyGroup(IXMLDOMDocument* document, IXMLDOMElement* root, const wchar_t* type,
                      const std::vector<std::wstring>& list)
{
    ComPtr<IXMLDOMElement> group = AppendElement(document, root, L"item");
    if (!group || !SetAttribute(group.get(), L"type", type)) return false;
    for (std::size_t i = 0; i + 1 < list.size(); i += 2) {
        ComPtr<IXMLDOMElement> entry = AppendElement(document, group.get(), L"item");
        if (!entry || !SetAttribute(entry.get(), L"hotkey", list[i]) || !SetAttribute(entry.get(), L"path", list[i + 1]))
            return false;
    }
    return true;
}

// The attribute's text, or none when the node is not an element or has no such attribute.
bool ReadAttribute(IXMLDOMNode* node, const wchar_t* name, std::wstring& value)
{
    ComPtr<IXMLDOMElement> element;
    if (FAILED(node->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void**>(element.put()))) || !element)
        return false;
    Variant attribute;
    if (element.get()->getAttribute(Bstr(name).get(), &attribute.get()) != S_OK || !attribute.IsText()) return false;
    value = attribute.Text();
    return true;
}

std::vector<ComPtr<IXMLDOMNode>> ChildrenOf(IXMLDOMNode* node)
{
    std::vector<ComPtr<IXMLDOMNode>> children;
    ComPtr<IXMLDOMNode> child;
    if (FAILED(node->get_firstChild(child.put()))) return children;
    while (child) {
        ComPtr<IXMLDOMNode> next;
        if (FAILED(child.get()->get_nextSibling(next.put()))) next.reset();
        children.push_back(std::move(child));
        child = std::move(next);
    }
    return children;
}
} // namespace

bool WriteHotKeysFile(const std::wstring& path, const std::vector<std::wstring>& icons,
                      const std::vector<std::wstring>& menus, const std::vector<std::wstring>& floating)
{
    ComPtr<IXMLDOMDocument> document = CreateDocument();
    if (!document) return false;
    IXMLDOMDocument* doc = document.get();
    ComPtr<IXMLDOMProcessingInstruction> declaration;
    ComPtr<IXMLDOMNode> added;
    if (FAILED(doc->createProcessingInstruction(Bstr(L"xml").get(), Bstr(L"version=\"1.0\"").get(), declaration.put())) ||
        FAILED(doc->appendChild(declaration.get(), added.put())))
        return false;
    ComPtr<IXMLDOMElement> root = AppendElement(doc, doc, L"Application");
    if (!root || !SetAttribute(root.get(), L"Name", kApplicationName) || !SetAttribute(root.get(), L"Author", kAuthor))
        return false;
    if (!WriteHotKeyGroup(doc, root.get(), L"Icon", icons) || !WriteHotKeyGroup(doc, root.get(), L"Menu", menus) ||
        !WriteHotKeyGroup(doc, root.get(), L"Float", floating))
        return false;
    // Saved beside the file and moved over it, so that a reader (another program, or this one at its
    // next start) never finds the list half written.
    const std::wstring temporary = path + L"." + std::to_wstring(::GetCurrentProcessId()) + L".tmp";
    Variant file(temporary);
    if (SUCCEEDED(doc->save(file.get())) &&
        ::MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    ::DeleteFileW(temporary.c_str());
    return false;
}

HotKeysFileContent ReadHotKeysFile(const std::wstring& path)
{
    HotKeysFileContent content;
    if (!FileExists(path)) return content;
    content.State = HotKeysFileState::NoNode;
    ComPtr<IXMLDOMDocument> document = CreateDocument();
    if (!document) return content;
    IXMLDOMDocument* doc = document.get();
    // A hand-edited file is read as plain data: no external entities, no document type.
    doc->put_async(VARIANT_FALSE);
    doc->put_validateOnParse(VARIANT_FALSE);
    doc->put_resolveExternals(VARIANT_FALSE);
    ComPtr<IXMLDOMDocument2> doc2;
    if (SUCCEEDED(doc->QueryInterface(kIidXmlDomDocument2, reinterpret_cast<void**>(doc2.put()))) && doc2) {
        Variant prohibit;
        prohibit.get().vt = VT_BOOL;
        prohibit.get().boolVal = VARIANT_TRUE;
        doc2.get()->setProperty(Bstr(L"ProhibitDTD").get(), prohibit.get());
    }
    Variant file(path);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    // A file the parser refuses holds no node it can give.
    if (FAILED(doc->load(file.get(), &loaded)) || loaded != VARIANT_TRUE) return content;
    VARIANT_BOOL hasChildren = VARIANT_FALSE;
    if (FAILED(doc->hasChildNodes(&hasChildren)) || hasChildren != VARIANT_TRUE) return content;

    content.State = HotKeysFileState::Read;
    ComPtr<IXMLDOMElement> root;
    if (FAILED(doc->get_documentElement(root.put())) || !root) return content;
    std::wstring name;
    if (!ReadAttribute(root.get(), L"Name", name) || name != kApplicationName) {
        content.State = HotKeysFileState::Foreign;
        return content;
    }
    // Depth first in document order, without recursion: a hand-edited file may nest deeply.
    std::vector<ComPtr<IXMLDOMNode>> pending = ChildrenOf(root.get());
    std::reverse(pending.begin(), pending.end());
    while (!pending.empty()) {
        ComPtr<IXMLDOMNode> node = std::move(pending.back());
        pending.pop_back();
        HotKeyRow row;
        if (ReadAttribute(node.get(), L"hotkey", row.HotKey)) {
            ReadAttribute(node.get(), L"path", row.Path);
            content.Rows.push_back(std::move(row));
        }
        std::vector<ComPtr<IXMLDOMNode>> children = ChildrenOf(node.get());
        for (auto child = children.rbegin(); child != children.rend(); ++child) pending.push_back(std::move(*child));
    }
    return content;
}
