#pragma once
// The block format of every settings file: options, window placements, view
// layouts and the clipboard documents.
//
// A file holds one byte per character (U+0000 to U+00FF as ISO 8859-1), lines
// end in CR LF. Characters above U+00FF are written as ESC (0x1B), the code
// point in hexadecimal and ";" ("\x1B" "263A;" for U+263A); a literal ESC is
// written the same way ("\x1B" "1B;"), so the escape is reversible, and a file
// without such characters never contains it.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace qm::app {

struct settings_node {
    enum node_kind { object = 0, entry = 1, list = 2, item = 3 };

    node_kind kind = object;
    int depth = 0;
    QString name;   // block name or entry key; empty for list items
    QString value;  // entries and list items: line breaks stored as "\n"
    std::vector<settings_node> children;  // ordered by name; equal names keep insertion order

    // The first child block of that name, created empty when there is none.
    settings_node& child_block(const QString& name, node_kind block_kind = object);
    const settings_node* find_child(const QString& name) const;
    settings_node* find_child(const QString& name);
    // Adds a child in name order, after any children of the same name.
    settings_node& add_child(settings_node node);
};

class settings_document {
public:
    settings_document() = default;
    explicit settings_document(QString path) : path_(std::move(path)) {}

    // A missing, unreadable or malformed file gives an empty or partial
    // document, never a failure.
    static settings_document load(const QString& path);
    // Writes the whole document over the file; false when it could not be
    // written, with the reason in *error when given. The old file is then
    // left whole.
    bool save(const QString& path, QString* error = nullptr) const;
    bool save() const { return save(path_); }

    static settings_document parse(const QByteArray& bytes);
    QByteArray serialize() const;

    const QString& path() const { return path_; }
    void set_path(const QString& path) { path_ = path; }

    const std::vector<settings_node>& blocks() const { return blocks_; }
    // The top-level block of that name, created empty of the given kind when missing.
    settings_node& block(const QString& name, settings_node::node_kind kind = settings_node::object);
    const settings_node* find_block(const QString& name) const;

    QString get_string(const QString& block, const QString& key, const QString& fallback = QString()) const;
    int get_int(const QString& block, const QString& key, int fallback = 0) const;
    bool get_bool(const QString& block, const QString& key, bool fallback = false) const;
    double get_real(const QString& block, const QString& key, double fallback = 0.0) const;
    void get_list(const QString& name, QStringList& out) const;

    void set_string(const QString& block, const QString& key, const QString& text);
    void set_int(const QString& block, const QString& key, int number);
    void set_list(const QString& name, const QStringList& items);

private:
    QString path_;
    std::vector<settings_node> blocks_;
};

// Entry access on any object block, nested ones included.
QString get_string(const settings_node& block, const QString& key, const QString& fallback = QString());
int get_int(const settings_node& block, const QString& key, int fallback = 0);
bool get_bool(const settings_node& block, const QString& key, bool fallback = false);
double get_real(const settings_node& block, const QString& key, double fallback = 0.0);
void set_string(settings_node& block, const QString& key, const QString& text);
void set_int(settings_node& block, const QString& key, int number);

// How values hold line breaks: CR LF (and a lone LF) as the two characters "\n".
QString escape_line_breaks(const QString& text);
QString unescape_line_breaks(const QString& stored);

// Conversions of stored text: decimal with leading sign, stopping at the first
// non-digit (no digits: 0; beyond the int range: clamped), and a decimal real.
int to_int(const QString& text);
double to_real(const QString& text);

// The byte image of text and back, with the escape for characters above U+00FF.
QByteArray to_settings_bytes(const QString& text);
QString from_settings_bytes(const QByteArray& bytes);

}  // namespace qm::app
