// Loading: expat's callbacks build the XCFG tree while the file is fed to the
// parser in pieces of 1024 bytes.

#include "config/core/XcfgReader.h"

#include "config/core/Records.h"
#include "config/core/XcfgTestHooks.h"
#include "platform/DebugTrace.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <expat.h>
#include <memory>
#include <new>
#include <string_view>

namespace {

using velmora::xcfg_hooks::Allocation;
using velmora::xcfg_hooks::AllocationAllowed;

constexpr size_t kPieceSize = 1024;

// One element started and not yet passed by a sibling or an ancestor's sibling.
struct StackEntry
{
    StackEntry* below;
    XcfgNode* node;
    int depth; // depth at which the node was started
};

struct ParseState
{
    StackEntry* top = nullptr;
    int depth = 0;
    XcfgNode** root_slot = nullptr;
    int error = 0; // errno of an allocation failure in a callback

    ParseState() = default;
    ParseState(const ParseState&) = delete;
    ParseState& operator=(const ParseState&) = delete;
    ~ParseState()
    {
        while (top)
            Pop();
    }

    void Pop()
    {
        StackEntry* entry = top;
        top = entry->below;
        delete entry;
    }
};

// Copies at most XCFG_MAX_TEXT bytes of `text`, ending on a character boundary.
template <size_t N> void CopyCut(char (&field)[N], std::string_view text)
{
    static_assert(N > XCFG_MAX_TEXT);
    size_t length = velmora::Utf8CutLength(text, XCFG_MAX_TEXT);
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

XcfgNode* NewNode(const char* name)
{
    XcfgNode* node = AllocationAllowed(Allocation::Node) ? new (std::nothrow) XcfgNode{} : nullptr;
    if (!node) {
        errno = ENOMEM;
        return nullptr;
    }
    node->magic = XCFG_MAGIC;
    CopyCut(node->name, name);
    return node;
}

// Fills the node's attribute list from expat's name/value pairs.
bool AddAttributes(XcfgNode* node, const XML_Char** pairs)
{
    int count = 0;
    while (pairs[2 * count])
        ++count;
    if (count == 0)
        return true;
    XcfgAttribute* list = AllocationAllowed(Allocation::AttributeList) ? new (std::nothrow)
                                                                             XcfgAttribute[count]{}
                                                                       : nullptr;
    if (!list) {
        errno = ENOMEM;
        return false;
    }
    for (int i = 0; i < count; ++i) {
        list[i].magic = XCFG_MAGIC;
        CopyCut(list[i].name, pairs[2 * i]);
        CopyCut(list[i].value, pairs[2 * i + 1]);
    }
    node->attributes = list;
    node->attribute_count = count;
    return true;
}

// Attaches the node as the root, as the next sibling of the node last started
// at its depth, or as the first child of the node started just above it.
void Link(ParseState& state, XcfgNode* node)
{
    const int depth = state.depth;
    while (state.top && state.top->depth > depth)
        state.Pop();
    if (!state.top)
        *state.root_slot = node;
    else if (state.top->depth == depth)
        state.top->node->next = node;
    else
        state.top->node->first_child = node;
}

void XMLCALL OnStartElement(void* user_data, const XML_Char* name, const XML_Char** pairs)
{
    auto& state = *static_cast<ParseState*>(user_data);
    if (state.error)
        return;
    ++state.depth;

    XcfgNode* node = NewNode(name);
    if (!node) {
        int error = errno;
        DebugTrace("[TQZ.XCFG] 分配新 TAG 结点失败[errno: %d]!\n", error);
        state.error = error;
        return;
    }
    if (!AddAttributes(node, pairs)) {
        int error = errno;
        DebugTrace("[TQZ.XCFG] 分配结点属性列表失败[errno: %d]!\n", error);
        delete node;
        state.error = error;
        return;
    }

    Link(state, node);

    StackEntry* entry = AllocationAllowed(Allocation::StackEntry)
                            ? new (std::nothrow) StackEntry{state.top, node, state.depth}
                            : nullptr;
    if (!entry) {
        // The tree can no longer be linked consistently: give up on the process.
        DebugTrace("[TQZ.XCFG] 标签栈分配新结点失败[errno: %d]!\n", ENOMEM);
        std::exit(ENOMEM);
    }
    state.top = entry;
}

void XMLCALL OnEndElement(void* user_data, const XML_Char*)
{
    auto& state = *static_cast<ParseState*>(user_data);
    if (!state.error)
        --state.depth; // the stack is left alone: a following sibling pops it
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

void XMLCALL OnCharacterData(void* user_data, const XML_Char* data, int length)
{
    auto& state = *static_cast<ParseState*>(user_data);
    if (state.error || !state.top || length <= 0)
        return;
    std::string_view text(data, static_cast<size_t>(length));
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    if (!text.empty())
        CopyCut(state.top->node->text, text);
}

struct FileCloser
{
    void operator()(FILE* file) const { std::fclose(file); }
};

struct ParserFreer
{
    void operator()(XML_ParserStruct* parser) const { XML_ParserFree(parser); }
};

} // namespace

int XcfgLoadFile(XcfgDocument* document, const char* path)
{
    document->Clear();
    document->magic = 0;
    document->magic = XCFG_MAGIC;

    std::unique_ptr<FILE, FileCloser> file(std::fopen(path, "r"));
    if (!file) {
        int error = errno;
        DebugTrace("[TQZ.XCFG] 打开文件[%s]失败[errno: %d]!\n", path, error);
        return error;
    }

    std::unique_ptr<XML_ParserStruct, ParserFreer> parser(XML_ParserCreate(nullptr));
    if (!parser) {
        DebugTrace("[TQZ.XCFG] 创建 XML_Parser 失败!\n");
        return -1;
    }

    ParseState state;
    state.root_slot = &document->root;
    XML_SetUserData(parser.get(), &state);
    XML_SetElementHandler(parser.get(), OnStartElement, OnEndElement);
    XML_SetCharacterDataHandler(parser.get(), OnCharacterData);

    char piece[kPieceSize];
    int code = 0;
    for (;;) {
        size_t length = std::fread(piece, 1, sizeof piece, file.get());
        if (std::ferror(file.get())) {
            code = errno != 0 ? errno : EIO;
            DebugTrace("[TQZ.XCFG] 读文件[%s]失败[errno: %d]!\n", path, code);
            break;
        }
        const bool at_end = std::feof(file.get()) != 0;
        velmora::xcfg_hooks::NotifyPiece(length, at_end);
        if (XML_Parse(parser.get(), piece, static_cast<int>(length), at_end) == XML_STATUS_ERROR) {
            DebugTrace("[TQZ.XCFG] 解析失败! 错误信息: `%s' at %d, %d: %s\n", path,
                       static_cast<int>(XML_GetCurrentLineNumber(parser.get())),
                       static_cast<int>(XML_GetCurrentColumnNumber(parser.get())),
                       XML_ErrorString(XML_GetErrorCode(parser.get())));
            code = -1;
            break;
        }
        code = state.error;
        if (code != 0 || at_end)
            break;
    }
    return code; // file, parser and stack entries are released on the way out
}
