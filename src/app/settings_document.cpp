#include "app/settings_document.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>

#include <algorithm>
#include <climits>

namespace qm::app {
namespace {

constexpr char16_t escape_char = 0x1B;
// A backslash that stands before an "n" of the text itself. It is written
// with the ESC escape ("\x1B5C;"), so that reading does not take it for a
// line break; every other backslash is written as it is, and files without
// such a pair are unchanged. In memory it is a noncharacter, never text.
constexpr char16_t escaped_backslash = 0xFDD0;
// A list item that is one bracket alone would read back as block structure;
// its bracket is written with the ESC escape too, and is one of these
// noncharacters in memory until the item is read.
constexpr char16_t escaped_brackets[] = {0xFDD1, 0xFDD2, 0xFDD3, 0xFDD4};
constexpr char brackets[] = {'{', '}', '[', ']'};

int bracket_index(char32_t code)
{
    for (int i = 0; i < 4; ++i)
        if (code == static_cast<char32_t>(brackets[i]))
            return i;
    return -1;
}

int escaped_bracket_index(char32_t code)
{
    for (int i = 0; i < 4; ++i)
        if (code == escaped_brackets[i])
            return i;
    return -1;
}

bool name_less(const settings_node& a, const settings_node& b) { return a.name < b.name; }

bool is_block(const settings_node& n) { return n.kind == settings_node::object || n.kind == settings_node::list; }

int leading_tabs(const QString& line)
{
    int n = 0;
    while (n < line.size() && line[n] == QLatin1Char('\t'))
        ++n;
    return n;
}

// The line without up to `count` leading tabs.
QString strip_tabs(const QString& line, int count)
{
    return line.mid(std::min(leading_tabs(line), count));
}

bool is_blank(const QString& line) { return line.isEmpty() || line == QLatin1String("\r"); }

bool opens_block(const QString& stripped)
{
    return stripped == QLatin1String("{") || stripped == QLatin1String("[");
}

// Exact matches: an item or key that merely begins with a bracket is text.
bool closes_block(const QString& stripped)
{
    return stripped == QLatin1String("}") || stripped == QLatin1String("]");
}

// Parses the block whose name is lines[first] and whose text ends at lines[last].
settings_node parse_block(const QStringList& lines, int first, int last, int depth)
{
    settings_node node;
    node.depth = depth;
    node.name = strip_tabs(lines[first], depth);
    const QString bracket = first + 1 <= last ? strip_tabs(lines[first + 1], depth) : QString();
    node.kind = bracket.startsWith(QLatin1Char('[')) ? settings_node::list : settings_node::object;

    int k = first + 2;
    while (k <= last) {
        const QString line = strip_tabs(lines[k], depth + 1);
        if (closes_block(line) && leading_tabs(lines[k]) <= depth)
            break;
        if (is_blank(line)) {
            // An empty list item keeps its indentation; a blank line has none.
            if (node.kind == settings_node::list && leading_tabs(lines[k]) >= depth + 1) {
                settings_node item;
                item.kind = settings_node::item;
                item.depth = depth + 1;
                node.children.push_back(std::move(item));
            }
            ++k;
            continue;
        }
        if (k + 1 <= last && opens_block(strip_tabs(lines[k + 1], depth + 1))) {
            // A nested block runs to its own closing bracket, one level deeper.
            int end = k + 2;
            while (end <= last && !(leading_tabs(lines[end]) == depth + 1 && closes_block(strip_tabs(lines[end], depth + 1))))
                ++end;
            end = std::min(end, last);
            node.children.push_back(parse_block(lines, k, end, depth + 1));
            k = end + 1;
            continue;
        }
        settings_node child;
        child.depth = depth + 1;
        if (node.kind == settings_node::object) {
            const int colon = line.indexOf(QLatin1Char(':'));
            child.kind = settings_node::entry;
            child.name = colon < 0 ? line : line.left(colon);
            child.value = colon < 0 ? QString() : line.mid(colon + 1);
        } else {
            child.kind = settings_node::item;
            child.value = line;
        }
        node.children.push_back(std::move(child));
        ++k;
    }
    // Sorted once here rather than per insertion: a large file in random order
    // must not cost a quadratic number of moves.
    if (node.kind == settings_node::object)
        std::stable_sort(node.children.begin(), node.children.end(), name_less);
    return node;
}

void write_node(const settings_node& node, int level, QString& out)
{
    const QString tabs(level, QLatin1Char('\t'));
    switch (node.kind) {
    case settings_node::entry:
        out += tabs + node.name + QLatin1Char(':') + node.value + QLatin1Char('\n');
        return;
    case settings_node::item:
        out += tabs + node.value + QLatin1Char('\n');
        return;
    case settings_node::object:
    case settings_node::list: {
        const bool list = node.kind == settings_node::list;
        out += tabs + node.name + QLatin1Char('\n');
        out += tabs + QLatin1Char(list ? '[' : '{') + QLatin1Char('\n');
        for (const auto& child : node.children)
            write_node(child, level + 1, out);
        out += tabs + QLatin1Char(list ? ']' : '}') + QLatin1Char('\n');
        return;
    }
    }
}

const settings_node* find_entry(const settings_node& block, const QString& key)
{
    for (const auto& child : block.children)
        if (child.kind == settings_node::entry && child.name == key)
            return &child;  // a key present twice: the first one counts
    return nullptr;
}

int hex_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

// ---- nodes ----

settings_node& settings_node::add_child(settings_node node)
{
    node.depth = depth + 1;
    auto at = std::upper_bound(children.begin(), children.end(), node, name_less);
    return *children.insert(at, std::move(node));
}

const settings_node* settings_node::find_child(const QString& child_name) const
{
    for (const auto& child : children)
        if (child.name == child_name)
            return &child;
    return nullptr;
}

settings_node* settings_node::find_child(const QString& child_name)
{
    for (auto& child : children)
        if (child.name == child_name)
            return &child;
    return nullptr;
}

settings_node& settings_node::child_block(const QString& block_name, node_kind block_kind)
{
    for (auto& child : children)
        if (child.name == block_name && is_block(child))
            return child;
    settings_node block;
    block.kind = block_kind;
    block.name = block_name;
    return add_child(std::move(block));
}

// ---- text conversions ----

QString escape_line_breaks(const QString& text)
{
    QString out = text;
    for (int i = 0; i + 1 < out.size(); ++i)
        if (out[i] == QLatin1Char('\\') && out[i + 1] == QLatin1Char('n'))
            out[i] = QChar(escaped_backslash);
    out.replace(QLatin1String("\r\n"), QLatin1String("\\n"));
    out.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return out;
}

QString unescape_line_breaks(const QString& stored)
{
    QString out = stored;
    out.replace(QLatin1String("\\n"), QLatin1String("\r\n"));
    out.replace(QChar(escaped_backslash), QLatin1Char('\\'));
    if (out.size() == 1)
        if (const int i = escaped_bracket_index(out[0].unicode()); i >= 0)
            out = QString(QLatin1Char(brackets[i]));
    return out;
}

int to_int(const QString& text)
{
    int i = 0;
    while (i < text.size() && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    long long value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            break;
        value = value * 10 + (c - u'0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;  // saturate, keep reading digits
    }
    if (negative)
        value = -value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

double to_real(const QString& text)
{
    const QString t = text.trimmed();
    int end = 0;
    auto digits = [&] {
        const int start = end;
        while (end < t.size() && t[end].unicode() >= u'0' && t[end].unicode() <= u'9')
            ++end;
        return end > start;
    };
    if (end < t.size() && (t[end] == QLatin1Char('-') || t[end] == QLatin1Char('+')))
        ++end;
    bool any = digits();
    if (end < t.size() && t[end] == QLatin1Char('.')) {
        ++end;
        any = digits() || any;
    }
    if (!any)
        return 0.0;
    if (end < t.size() && (t[end] == QLatin1Char('e') || t[end] == QLatin1Char('E'))) {
        const int mark = end;
        ++end;
        if (end < t.size() && (t[end] == QLatin1Char('-') || t[end] == QLatin1Char('+')))
            ++end;
        if (!digits())
            end = mark;
    }
    bool ok = false;
    const double v = QLocale::c().toDouble(QStringView(t).left(end), &ok);
    return ok ? v : 0.0;
}

QByteArray to_settings_bytes(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        char32_t code = text[i].unicode();
        if (QChar::isHighSurrogate(code) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        if (code == escaped_backslash) {
            out.append(static_cast<char>(escape_char));
            out.append("5C;");
        } else if (const int b = escaped_bracket_index(code); b >= 0) {
            out.append(static_cast<char>(escape_char));
            out.append(QByteArray::number(static_cast<int>(brackets[b]), 16).toUpper());
            out.append(';');
        } else if (code <= 0xFF && code != escape_char) {
            out.append(static_cast<char>(code));
        } else {
            out.append(static_cast<char>(escape_char));
            out.append(QByteArray::number(static_cast<uint>(code), 16).toUpper());
            out.append(';');
        }
    }
    return out;
}

QString from_settings_bytes(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size());
    const int n = bytes.size();
    for (int i = 0; i < n; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == escape_char) {
            // ESC, one to six hex digits, ";": anything else is a literal ESC.
            uint code = 0;
            int j = i + 1;
            while (j < n && j - i <= 6 && hex_value(bytes[j]) >= 0)
                code = code * 16 + static_cast<uint>(hex_value(bytes[j++]));
            if (j > i + 1 && j < n && bytes[j] == ';' && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF)) {
                if (code == u'\\') {
                    out.append(QChar(escaped_backslash));  // only ever written before an "n"
                } else if (const int b = bracket_index(code); b >= 0) {
                    out.append(QChar(escaped_brackets[b]));  // only ever written as a lone item
                } else if (code > 0xFFFF) {
                    out.append(QChar(QChar::highSurrogate(code)));
                    out.append(QChar(QChar::lowSurrogate(code)));
                } else {
                    out.append(QChar(static_cast<char16_t>(code)));
                }
                i = j;
                continue;
            }
        }
        out.append(QChar(static_cast<char16_t>(byte)));
    }
    return out;
}

// ---- documents ----

settings_document settings_document::load(const QString& path)
{
    QFile file(path);
    settings_document doc(path);
    if (!file.open(QIODevice::ReadOnly))
        return doc;
    settings_document parsed = parse(file.readAll());
    parsed.path_ = path;
    return parsed;
}

settings_document settings_document::parse(const QByteArray& bytes)
{
    QString text = from_settings_bytes(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    const QStringList lines = text.split(QLatin1Char('\n'));
    const int n = static_cast<int>(lines.size());

    settings_document doc;
    // List blocks first, then object blocks, each group in file order.
    for (const char open : {'[', '{'}) {
        const char close = open == '[' ? ']' : '}';
        for (int i = 1; i < n; ++i) {
            if (lines[i] != QLatin1String(&open, 1))
                continue;
            int end = i + 1;
            while (end < n && lines[end] != QLatin1String(&close, 1))
                ++end;
            end = std::min(end, n - 1);
            doc.blocks_.push_back(parse_block(lines, i - 1, end, 0));
            i = end;
        }
    }
    return doc;
}

QByteArray settings_document::serialize() const
{
    QString text;
    for (std::size_t i = 0; i < blocks_.size(); ++i) {
        if (i > 0)
            text += QLatin1String("\r\n");  // becomes CR CR LF below, which readers skip
        write_node(blocks_[i], 0, text);
    }
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return to_settings_bytes(text);
}

bool settings_document::save(const QString& path, QString* error) const
{
    auto failed = [error](const QString& why) {
        if (error != nullptr)
            *error = why;
        return false;
    };
    if (path.isEmpty())
        return failed(QStringLiteral("No file name was given."));
    QDir().mkpath(QFileInfo(path).absolutePath());
    // Written to a temporary file and renamed, so a crash mid-save never
    // leaves a half-written settings file behind.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failed(file.errorString());
    const QByteArray bytes = serialize();
    if (file.write(bytes) != bytes.size())
        return failed(file.errorString());  // the temporary file is removed, the old one kept
    if (!file.commit())
        return failed(file.errorString());
    return true;
}

settings_node& settings_document::block(const QString& name, settings_node::node_kind kind)
{
    for (auto& b : blocks_)
        if (b.name == name)
            return b;
    settings_node b;
    b.kind = kind;
    b.name = name;
    blocks_.push_back(std::move(b));
    return blocks_.back();
}

const settings_node* settings_document::find_block(const QString& name) const
{
    for (const auto& b : blocks_)
        if (b.name == name)
            return &b;
    return nullptr;
}

QString settings_document::get_string(const QString& block, const QString& key, const QString& fallback) const
{
    const settings_node* b = find_block(block);
    return b != nullptr ? app::get_string(*b, key, fallback) : fallback;
}

int settings_document::get_int(const QString& block, const QString& key, int fallback) const
{
    const settings_node* b = find_block(block);
    return b != nullptr ? app::get_int(*b, key, fallback) : fallback;
}

bool settings_document::get_bool(const QString& block, const QString& key, bool fallback) const
{
    return get_int(block, key, fallback ? 1 : 0) != 0;
}

double settings_document::get_real(const QString& block, const QString& key, double fallback) const
{
    const settings_node* b = find_block(block);
    return b != nullptr ? app::get_real(*b, key, fallback) : fallback;
}

void settings_document::get_list(const QString& name, QStringList& out) const
{
    for (const auto& b : blocks_) {
        if (b.name == name && b.kind == settings_node::list) {
            for (const auto& child : b.children)
                if (child.kind == settings_node::item)
                    out << unescape_line_breaks(child.value);
            return;
        }
    }
}

void settings_document::set_string(const QString& block_name, const QString& key, const QString& text)
{
    app::set_string(block(block_name), key, text);
}

void settings_document::set_int(const QString& block_name, const QString& key, int number)
{
    app::set_string(block(block_name), key, QString::number(number));
}

void settings_document::set_list(const QString& name, const QStringList& items)
{
    settings_node& b = block(name, settings_node::list);
    b.children.clear();
    for (const QString& text : items) {
        settings_node item;
        item.kind = settings_node::item;
        item.depth = b.depth + 1;
        item.value = escape_line_breaks(text);
        if (item.value.size() == 1)
            if (const int i = bracket_index(item.value[0].unicode()); i >= 0)
                item.value = QString(QChar(escaped_brackets[i]));
        b.children.push_back(std::move(item));
    }
}

QString get_string(const settings_node& block, const QString& key, const QString& fallback)
{
    const settings_node* e = find_entry(block, key);
    return e != nullptr ? unescape_line_breaks(e->value) : fallback;
}

int get_int(const settings_node& block, const QString& key, int fallback)
{
    const settings_node* e = find_entry(block, key);
    return e != nullptr ? to_int(e->value) : fallback;
}

bool get_bool(const settings_node& block, const QString& key, bool fallback)
{
    return get_int(block, key, fallback ? 1 : 0) != 0;
}

double get_real(const settings_node& block, const QString& key, double fallback)
{
    const settings_node* e = find_entry(block, key);
    return e != nullptr ? to_real(e->value) : fallback;
}

void set_string(settings_node& block, const QString& key, const QString& text)
{
    for (auto& child : block.children) {
        if (child.kind == settings_node::entry && child.name == key) {
            child.value = escape_line_breaks(text);
            return;
        }
    }
    settings_node entry;
    entry.kind = settings_node::entry;
    entry.name = key;
    entry.value = escape_line_breaks(text);
    block.add_child(std::move(entry));
}

void set_int(settings_node& block, const QString& key, int number) { set_string(block, key, QString::number(number)); }

}  // namespace qm::app
