#include "upnp/core/TextCompare.h"
#include "upnp/core/XMLEntities.h"
#include "upnp/core/XMLNode.h"
#include "upnp/core/XMLTokenizer.h"

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using velmora::IsXmlSpace;

namespace velmora {

// Fills element nodes from the token stream. One call of parseElement() reads
// the rest of one element's start tag and its content; children recurse.
class XMLParser
{
public:
    enum class Result
    {
        Closed,
        Stopped
    };

    // The frames of the thread's last parse are taken over, so that reading
    // many small answers collects into storage that is already there.
    explicit XMLParser(const char* source)
        : tokens_(source), src_(source), frames_(std::move(spareFrames_))
    {
        spareFrames_.clear();
    }
    ~XMLParser();
    XMLParser(const XMLParser&) = delete;
    XMLParser& operator=(const XMLParser&) = delete;

    Result parseElement(XMLNode& node, int depth);

    int32_t error() const { return error_; }
    size_t position() const { return tokens_.position(); }

private:
    enum class State
    {
        ExpectName,
        HaveName,
        AfterEquals,
        Content
    };
    enum class Step
    {
        Continue,
        Closed,
        Stopped
    };

    // Text met in content that is not stored yet: it runs from its first
    // token to the start of the token that ends it.
    struct PendingText
    {
        bool pending = false;
        size_t start = 0;
    };

    // What an open element has met so far. The entries move into the
    // element's arrays when its parse ends, so each array is allocated once,
    // at the size the block growth (and trimming, when the element was closed
    // by its own end tag or "/>") gives it. Frames are kept per depth and
    // reused, so collecting costs no allocation once they have grown.
    struct Frame
    {
        std::vector<XMLNodeBody*> children;
        std::vector<std::string> texts;
        std::vector<XMLClearSection> clears;
        std::vector<XMLAttr> attributes;
        std::vector<int32_t> order;
        bool trimmed = false;

        // Whether the storage is small enough to be kept for the next parse.
        bool worthKeeping() const
        {
            constexpr size_t kKeep = 256;
            return children.capacity() <= kKeep && texts.capacity() <= kKeep &&
                   clears.capacity() <= kKeep && attributes.capacity() <= kKeep &&
                   order.capacity() <= 3 * kKeep;
        }
        void addOrder(size_t index, XMLOrderKind kind)
        {
            order.push_back(static_cast<int32_t>(index) * 4 + kind);
        }
        void addAttr(std::string_view name, std::optional<std::string> value)
        {
            addOrder(attributes.size(), XMLOrderAttr);
            attributes.push_back(XMLAttr{std::string(name), std::move(value)});
        }
        void addText(std::string text)
        {
            addOrder(texts.size(), XMLOrderText);
            texts.push_back(std::move(text));
        }
    };

    Step stop(int32_t code)
    {
        error_ = code;
        return Step::Stopped;
    }
    static Result toResult(Step step)
    {
        return step == Step::Closed ? Result::Closed : Result::Stopped;
    }
    std::string_view slice(size_t start, size_t length) const { return {src_ + start, length}; }
    std::string_view slice(const XMLToken& t) const { return slice(t.start, t.length); }

    Frame& frameAt(int depth);
    static void commit(XMLNodeBody& body, Frame& frame);
    static void discard(Frame& frame);
    Result readElement(XMLNode& node, Frame& frame, int depth);

    bool endTagMatches(const XMLNodeBody* body, size_t nameStart, size_t nameLength) const;
    void flushText(Frame& frame, PendingText& text, size_t end, bool decode);
    Step startTag(XMLNode& node, Frame& frame, State& state, const XMLToken& token,
                  XMLToken& attrName);
    Step content(XMLNode& node, Frame& frame, const XMLToken& token, PendingText& text, int depth);
    Step child(XMLNode& node, Frame& frame, bool declaration, int depth);
    Step endTag(XMLNode& node, Frame& frame);
    Step clearSection(Frame& frame, const XMLClearTag& row);

    XMLTokenizer tokens_;
    const char* src_;
    int32_t error_ = XMLParseOk;
    bool endTagPending_ = false;
    size_t pendingEndTag_ = 0;                   // where the pending end tag's name starts
    size_t pendingEndTagLength_ = 0;             // and its length
    bool firstCall_ = true;                      // the document node starts in content state
    std::vector<std::unique_ptr<Frame>> frames_; // one per depth, all empty between elements
    static thread_local std::vector<std::unique_ptr<Frame>> spareFrames_;
};

thread_local std::vector<std::unique_ptr<XMLParser::Frame>> XMLParser::spareFrames_;

XMLParser::~XMLParser()
{
    // Every element's parse has handed its frame's entries over (or freed
    // them), so the frames are empty; large ones are not kept.
    while (!frames_.empty() && !frames_.back()->worthKeeping())
        frames_.pop_back();
    for (std::unique_ptr<Frame>& frame : frames_) {
        if (!frame->worthKeeping())
            *frame = Frame{};
    }
    spareFrames_ = std::move(frames_);
}

XMLParser::Frame& XMLParser::frameAt(int depth)
{
    while (frames_.size() <= static_cast<size_t>(depth))
        frames_.push_back(std::make_unique<Frame>());
    Frame& frame = *frames_[static_cast<size_t>(depth)];
    frame.trimmed = false;
    return frame;
}

void XMLParser::commit(XMLNodeBody& body, Frame& frame)
{
    body.children.adopt(frame.children, frame.trimmed);
    body.texts.adopt(frame.texts, frame.trimmed);
    body.clears.adopt(frame.clears, frame.trimmed);
    body.attributes.adopt(frame.attributes, frame.trimmed);
    body.order.adopt(frame.order, frame.trimmed);
}

void XMLParser::discard(Frame& frame)
{
    for (XMLNodeBody* child : frame.children) {
        child->pParent = nullptr;
        XMLNode::release(child);
    }
    frame.children.clear();
    frame.texts.clear();
    frame.clears.clear();
    frame.attributes.clear();
    frame.order.clear();
}

XMLParser::Result XMLParser::parseElement(XMLNode& node, int depth)
{
    Frame& frame = frameAt(depth);
    try {
        const Result result = readElement(node, frame, depth);
        commit(*node.d, frame);
        return result;
    } catch (...) {
        discard(frame); // children not handed over yet are freed here
        throw;
    }
}

bool XMLParser::endTagMatches(const XMLNodeBody* body, size_t nameStart, size_t nameLength) const
{
    if (!body->lpszName)
        return false; // the document node matches no end tag
    const std::string& name = *body->lpszName;
    const char* tag = src_ + nameStart;
    // Most end tags repeat the name as written: compare bytes first when the
    // end tag's name token is long enough to hold the whole name.
    if (nameLength < name.size() || std::memcmp(tag, name.data(), name.size()) != 0) {
        for (size_t i = 0; i < name.size(); ++i) {
            if (tag[i] == '\0' || velmora::AsciiLower(tag[i]) != velmora::AsciiLower(name[i]))
                return false;
        }
    }
    const char after = tag[name.size()];
    return IsXmlSpace(after) || after == '/' || after == '<' || after == '>' || after == '=';
}

void XMLParser::flushText(Frame& frame, PendingText& text, size_t end, bool decode)
{
    if (!text.pending)
        return;
    text.pending = false;
    while (end > text.start && IsXmlSpace(src_[end - 1]))
        --end;
    const std::string_view piece = slice(text.start, end - text.start);
    frame.addText(decode ? velmora::DecodeXmlEntities(piece) : std::string(piece));
}

XMLParser::Result XMLParser::readElement(XMLNode& node, Frame& frame, int depth)
{
    State state = firstCall_ ? State::Content : State::ExpectName;
    firstCall_ = false;
    XMLToken attrName;
    PendingText text;
    for (;;) {
        const XMLToken token = tokens_.next();
        if (token.kind == XMLTokenKind::EndOfInput)
            return Result::Stopped; // pending text is dropped, arrays stay as they are
        const Step step = state == State::Content ? content(node, frame, token, text, depth)
                                                  : startTag(node, frame, state, token, attrName);
        if (step != Step::Continue)
            return toResult(step);
    }
}

XMLParser::Step XMLParser::startTag(XMLNode& node, Frame& frame, State& state,
                                    const XMLToken& token, XMLToken& attrName)
{
    const bool isText = token.kind == XMLTokenKind::Text;
    switch (state) {
    case State::ExpectName:
        if (isText) {
            attrName = token;
            state = State::HaveName;
            return Step::Continue;
        }
        if (token.kind == XMLTokenKind::TagClose) {
            state = State::Content;
            return Step::Continue;
        }
        if (token.kind == XMLTokenKind::EmptyClose) {
            frame.trimmed = true;
            return Step::Closed;
        }
        return stop(XMLParseUnexpectedToken);
    case State::HaveName:
        if (isText) {
            frame.addAttr(slice(attrName), std::nullopt);
            attrName = token;
            return Step::Continue;
        }
        if (token.kind == XMLTokenKind::Equals) {
            state = State::AfterEquals;
            return Step::Continue;
        }
        if (token.kind == XMLTokenKind::TagClose || token.kind == XMLTokenKind::EmptyClose) {
            std::string_view name = slice(attrName);
            if (node.isDeclaration() && name.ends_with('?'))
                name.remove_suffix(1);
            if (!name.empty())
                frame.addAttr(name, std::nullopt);
            if (token.kind == XMLTokenKind::EmptyClose) {
                frame.trimmed = true;
                return Step::Closed;
            }
            state = State::Content;
            return Step::Continue;
        }
        return stop(XMLParseUnexpectedToken);
    case State::AfterEquals:
        if (isText || token.kind == XMLTokenKind::QuotedText) {
            std::string_view value = slice(token);
            if (node.isDeclaration() && value.ends_with('?'))
                value.remove_suffix(1);
            if (token.kind == XMLTokenKind::QuotedText)
                value = value.substr(1, value.size() - 2);
            frame.addAttr(slice(attrName), velmora::DecodeXmlEntities(value));
            state = State::ExpectName;
            return Step::Continue;
        }
        return stop(XMLParseUnexpectedToken);
    case State::Content:
        break;
    }
    return stop(XMLParseUnexpectedToken);
}

XMLParser::Step XMLParser::content(XMLNode& node, Frame& frame, const XMLToken& token,
                                   PendingText& text, int depth)
{
    switch (token.kind) {
    case XMLTokenKind::Text:
    case XMLTokenKind::QuotedText:
    case XMLTokenKind::Equals:
        if (!text.pending) {
            text.pending = true;
            text.start = token.start;
        }
        return Step::Continue;
    case XMLTokenKind::TagStart:
    case XMLTokenKind::DeclStart:
        flushText(frame, text, token.start, false);
        return child(node, frame, token.kind == XMLTokenKind::DeclStart, depth);
    case XMLTokenKind::EndTagStart:
        flushText(frame, text, token.start, true);
        return endTag(node, frame);
    case XMLTokenKind::ClearSection:
        flushText(frame, text, token.start, false);
        return clearSection(frame, *token.clear);
    default: // ">" or "/>"
        return stop(XMLParseUnexpectedToken);
    }
}

XMLParser::Step XMLParser::child(XMLNode& node, Frame& frame, bool declaration, int depth)
{
    const XMLToken name = tokens_.next();
    if (name.kind != XMLTokenKind::Text)
        return stop(XMLParseMissingTagName);
    if (depth >= XMLNode::kMaxDepth)
        return stop(XMLParseTooDeep);
    auto* body = new XMLNodeBody;
    body->lpszName.emplace(slice(name));
    body->isDeclaration = declaration;
    body->pParent = node.d;
    frame.addOrder(frame.children.size(), XMLOrderChild);
    frame.children.push_back(body); // the parent's reference, the child's first
    XMLNode element(body, true);
    if (parseElement(element, depth + 1) == Result::Stopped)
        return Step::Stopped;
    if (!endTagPending_)
        return Step::Continue;
    // An end tag closes every open element up to the one it names.
    if (!node.body()->lpszName)
        return stop(XMLParseUnmatchedEndTag);
    if (endTagMatches(node.body(), pendingEndTag_, pendingEndTagLength_)) {
        endTagPending_ = false;
        frame.trimmed = true;
    }
    return Step::Closed;
}

XMLParser::Step XMLParser::endTag(XMLNode& node, Frame& frame)
{
    const XMLToken name = tokens_.next();
    if (name.kind != XMLTokenKind::Text || tokens_.next().kind != XMLTokenKind::TagClose)
        return stop(XMLParseBadEndTag);
    if (!endTagMatches(node.body(), name.start, name.length)) {
        error_ = XMLParseMismatchedEndTag;
        endTagPending_ = true;
        pendingEndTag_ = name.start;
        pendingEndTagLength_ = name.length;
    }
    frame.trimmed = true;
    return Step::Closed;
}

XMLParser::Step XMLParser::clearSection(Frame& frame, const XMLClearTag& row)
{
    const size_t from = tokens_.position();
    const char* close = std::strstr(src_ + from, row.close);
    if (!close)
        return stop(XMLParseUnmatchedEndTag);
    const size_t end = static_cast<size_t>(close - src_);
    frame.addOrder(frame.clears.size(), XMLOrderClear);
    frame.clears.push_back(
        XMLClearSection{row.open, std::string(slice(from, end - from)), row.close});
    tokens_.setPosition(end + std::strlen(row.close));
    return Step::Continue;
}

} // namespace velmora

namespace {

// Line and column of `position`, counted from 1 over the text before it.
void LocateStop(const char* text, size_t position, XMLParseReport& report)
{
    int32_t line = 1;
    int32_t column = 1;
    for (size_t i = 0; i < position && text[i] != '\0'; ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    report.line = line;
    report.column = column;
}

// The child of the document named `tag`. Declaration children met before it
// are descended into; when a scan runs out, the last child scanned is taken
// (so "s:Envelope" comes back for "Envelope").
XMLNode SelectByTag(const XMLNode& document, const char* tag)
{
    XMLNode scanned = document;
    for (;;) {
        const int count = scanned.childNodeCount();
        if (count == 0)
            return {};
        XMLNode descendInto;
        for (int i = 0; i < count; ++i) {
            XMLNode child = scanned.childAt(i);
            if (child.name() && velmora::EqualsIgnoreCase(child.name(), tag))
                return child;
            if (child.isDeclaration()) {
                descendInto = child;
                break;
            }
        }
        if (descendInto.empty())
            return scanned.childAt(count - 1);
        scanned = descendInto;
    }
}

} // namespace

XMLNode XMLNode::parseDocument(const char* text, const char* tag, XMLParseReport* report)
{
    if (!text) {
        if (report)
            *report = XMLParseReport{velmora::XMLParseNoText, 0, 0};
        return {};
    }
    XMLNode document(new XMLNodeBody, false);
    velmora::XMLParser parser(text);
    parser.parseElement(document, 0);
    const int32_t code = parser.error();
    if (report) {
        *report = XMLParseReport{code, 0, 0};
        if (code != velmora::XMLParseOk && code != velmora::XMLParseMismatchedEndTag)
            LocateStop(text, parser.position(), *report);
    }
    if (code != velmora::XMLParseOk && code != velmora::XMLParseMismatchedEndTag)
        return {}; // the document handle frees the whole tree
    if (!tag || *tag == '\0')
        return document;
    return SelectByTag(document, tag);
}
