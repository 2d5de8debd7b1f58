#include "upnp/core/TextCompare.h"
#include "upnp/core/XMLEntities.h"
#include "upnp/core/XMLNode.h"
#include "upnp/core/XMLTokenizer.h"

#include <cstring>
#include <string_view>

using velmora::IsXmlSpace;

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

    explicit XMLParser(const char* source) : tokens_(source), src_(source) {}

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

    bool endTagMatches(const XMLNodeBody* body, size_t nameStart) const;
    void flushText(XMLNode& node, PendingText& text, size_t end, bool decode);
    Step startTag(XMLNode& node, State& state, const XMLToken& token, XMLToken& attrName);
    Step content(XMLNode& node, const XMLToken& token, PendingText& text, int depth);
    Step child(XMLNode& node, bool declaration, int depth);
    Step endTag(XMLNode& node);
    Step clearSection(XMLNode& node, const XMLClearTag& row);

    XMLTokenizer tokens_;
    const char* src_;
    int32_t error_ = XMLParseOk;
    bool endTagPending_ = false;
    size_t pendingEndTag_ = 0; // where the pending end tag's name starts
    bool firstCall_ = true;    // the document node starts in content state
};

bool XMLParser::endTagMatches(const XMLNodeBody* body, size_t nameStart) const
{
    if (!body->lpszName)
        return false; // the document node matches no end tag
    const std::string& name = *body->lpszName;
    const char* tag = src_ + nameStart;
    for (size_t i = 0; i < name.size(); ++i) {
        if (tag[i] == '\0' || velmora::AsciiLower(tag[i]) != velmora::AsciiLower(name[i]))
            return false;
    }
    const char after = tag[name.size()];
    return IsXmlSpace(after) || after == '/' || after == '<' || after == '>' || after == '=';
}

void XMLParser::flushText(XMLNode& node, PendingText& text, size_t end, bool decode)
{
    if (!text.pending)
        return;
    text.pending = false;
    while (end > text.start && IsXmlSpace(src_[end - 1]))
        --end;
    const std::string_view piece = slice(text.start, end - text.start);
    node.appendText(decode ? velmora::DecodeXmlEntities(piece) : std::string(piece));
}

XMLParser::Result XMLParser::parseElement(XMLNode& node, int depth)
{
    State state = firstCall_ ? State::Content : State::ExpectName;
    firstCall_ = false;
    XMLToken attrName;
    PendingText text;
    for (;;) {
        const XMLToken token = tokens_.next();
        if (token.kind == XMLTokenKind::EndOfInput)
            return Result::Stopped; // pending text is dropped, arrays stay as they are
        const Step step = state == State::Content ? content(node, token, text, depth)
                                                  : startTag(node, state, token, attrName);
        if (step != Step::Continue)
            return toResult(step);
    }
}

XMLParser::Step XMLParser::startTag(XMLNode& node, State& state, const XMLToken& token,
                                    XMLToken& attrName)
{
    const bool declaration = node.isDeclaration();
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
            node.d->trim();
            return Step::Closed;
        }
        return stop(XMLParseUnexpectedToken);
    case State::HaveName:
        if (isText) {
            node.appendAttr(std::string(slice(attrName)), std::nullopt);
            attrName = token;
            return Step::Continue;
        }
        if (token.kind == XMLTokenKind::Equals) {
            state = State::AfterEquals;
            return Step::Continue;
        }
        if (token.kind == XMLTokenKind::TagClose || token.kind == XMLTokenKind::EmptyClose) {
            std::string_view name = slice(attrName);
            if (declaration && name.ends_with('?'))
                name.remove_suffix(1);
            if (!name.empty())
                node.appendAttr(std::string(name), std::nullopt);
            if (token.kind == XMLTokenKind::EmptyClose) {
                node.d->trim();
                return Step::Closed;
            }
            state = State::Content;
            return Step::Continue;
        }
        return stop(XMLParseUnexpectedToken);
    case State::AfterEquals:
        if (isText || token.kind == XMLTokenKind::QuotedText) {
            std::string_view value = slice(token);
            if (declaration && value.ends_with('?'))
                value.remove_suffix(1);
            if (token.kind == XMLTokenKind::QuotedText)
                value = value.substr(1, value.size() - 2);
            node.appendAttr(std::string(slice(attrName)), velmora::DecodeXmlEntities(value));
            state = State::ExpectName;
            return Step::Continue;
        }
        return stop(XMLParseUnexpectedToken);
    case State::Content:
        break;
    }
    return stop(XMLParseUnexpectedToken);
}

XMLParser::Step XMLParser::content(XMLNode& node, const XMLToken& token, PendingText& text,
                                   int depth)
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
        flushText(node, text, token.start, false);
        return child(node, token.kind == XMLTokenKind::DeclStart, depth);
    case XMLTokenKind::EndTagStart:
        flushText(node, text, token.start, true);
        return endTag(node);
    case XMLTokenKind::ClearSection:
        flushText(node, text, token.start, false);
        return clearSection(node, *token.clear);
    default: // ">" or "/>"
        return stop(XMLParseUnexpectedToken);
    }
}

XMLParser::Step XMLParser::child(XMLNode& node, bool declaration, int depth)
{
    const XMLToken name = tokens_.next();
    if (name.kind != XMLTokenKind::Text)
        return stop(XMLParseMissingTagName);
    if (depth >= XMLNode::kMaxDepth)
        return stop(XMLParseTooDeep);
    XMLNode element = node.appendChild(std::string(slice(name)), declaration);
    if (parseElement(element, depth + 1) == Result::Stopped)
        return Step::Stopped;
    if (!endTagPending_)
        return Step::Continue;
    // An end tag closes every open element up to the one it names.
    if (!node.body()->lpszName)
        return stop(XMLParseUnmatchedEndTag);
    if (endTagMatches(node.body(), pendingEndTag_)) {
        endTagPending_ = false;
        node.d->trim();
    }
    return Step::Closed;
}

XMLParser::Step XMLParser::endTag(XMLNode& node)
{
    const XMLToken name = tokens_.next();
    if (name.kind != XMLTokenKind::Text || tokens_.next().kind != XMLTokenKind::TagClose)
        return stop(XMLParseBadEndTag);
    if (!endTagMatches(node.body(), name.start)) {
        error_ = XMLParseMismatchedEndTag;
        endTagPending_ = true;
        pendingEndTag_ = name.start;
    }
    node.d->trim();
    return Step::Closed;
}

XMLParser::Step XMLParser::clearSection(XMLNode& node, const XMLClearTag& row)
{
    const size_t from = tokens_.position();
    const char* close = std::strstr(src_ + from, row.close);
    if (!close)
        return stop(XMLParseUnmatchedEndTag);
    const size_t end = static_cast<size_t>(close - src_);
    node.appendClear(std::string(slice(from, end - from)), row.open, row.close);
    tokens_.setPosition(end + std::strlen(row.close));
    return Step::Continue;
}

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
            *report = XMLParseReport{XMLParseNoText, 0, 0};
        return {};
    }
    XMLNode document(new XMLNodeBody, false);
    XMLParser parser(text);
    parser.parseElement(document, 0);
    const int32_t code = parser.error();
    if (report) {
        *report = XMLParseReport{code, 0, 0};
        if (code != XMLParseOk && code != XMLParseMismatchedEndTag)
            LocateStop(text, parser.position(), *report);
    }
    if (code != XMLParseOk && code != XMLParseMismatchedEndTag)
        return {}; // the document handle frees the whole tree
    if (!tag || *tag == '\0')
        return document;
    return SelectByTag(document, tag);
}
