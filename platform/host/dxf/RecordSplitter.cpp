#include "host/dxf/RecordSplitter.h"

#include <optional>

#include "host/dxf/GroupCode.h"
#include "host/dxf/Numbers.h"
#include "host/dxf/TagReader.h"

namespace qv::dxf {
namespace {

class Splitter {
  public:
    Splitter(std::string_view text, RecordSink& sink, AuditReport& report)
        : m_reader(text, report), m_sink(sink), m_report(report) {}

    void run();

  private:
    enum class State { Outside, InSection, SkipSection };

    bool nextTag(TagView& tag) {
        if (m_pending) {
            tag = *m_pending;
            m_pending.reset();
            return true;
        }
        return m_reader.next(tag);
    }
    void unread(const TagView& tag) { m_pending = tag; }

    void stray(const TagView& tag) {
        if (m_strayCount++ == 0) {
            m_strayLine = tag.line;
        }
    }
    void flushStray() {
        if (m_strayCount > 0) {
            m_report.add(Fix::StrayTags, m_strayLine,
                         std::to_string(m_strayCount) + (m_strayCount == 1 ? " tag" : " tags") +
                             " outside any section or record ignored");
            m_strayCount = 0;
        }
    }

    void startRecord(std::string_view type, std::uint32_t line) {
        flushHead();
        flushRecord();
        m_record.type = type;
        m_record.line = line;
        m_record.tags.clear();
        m_haveRecord = true;
        m_started = true;
    }
    void flushRecord() {
        if (m_haveRecord) {
            m_sink.record(m_record);
            m_haveRecord = false;
        }
    }
    void flushHead() {
        if (!m_head.empty()) {
            m_sink.sectionHead(m_head);
            m_head.clear();
        }
    }
    void endSection(bool missingEndsec, std::uint32_t line) {
        flushHead();
        flushRecord();
        flushStray();
        if (missingEndsec) {
            m_report.add(Fix::MissingEndsec, line,
                         "section " + m_sectionName + " ends without ENDSEC");
        }
        m_sink.endSection();
        m_state = State::Outside;
    }

    void outside(const TagView& tag);
    void inSection(const TagView& tag);
    void skipping(const TagView& tag);

    TagReader m_reader;
    RecordSink& m_sink;
    AuditReport& m_report;
    std::optional<TagView> m_pending;
    State m_state = State::Outside;
    std::string m_sectionName;
    bool m_header = false;
    bool m_eof = false;
    RecordView m_record;
    bool m_haveRecord = false;
    bool m_started = false;  // a record of the current section has started
    std::vector<TagView> m_head;
    size_t m_strayCount = 0;
    std::uint32_t m_strayLine = 0;
};

bool isStructure(const TagView& tag, std::string_view word) {
    return tag.code == kStructureCode && trimBlanks(tag.value) == word;
}

void Splitter::outside(const TagView& tag) {
    if (isStructure(tag, "SECTION")) {
        flushStray();
        TagView name;
        if (!nextTag(name)) {
            return;
        }
        if (name.code != kNameCode) {
            m_report.add(Fix::UnnamedSection, tag.line,
                         "SECTION without a name; its content was skipped");
            unread(name);
            m_state = State::SkipSection;
            return;
        }
        m_sectionName = std::string(trimBlanks(name.value));
        m_header = m_sectionName == "HEADER";
        m_sink.beginSection(m_sectionName, tag.line);
        m_started = false;
        m_state = State::InSection;
    } else if (isStructure(tag, "EOF")) {
        m_eof = true;
    } else if (tag.code != kCommentCode) {
        stray(tag);
    }
}

void Splitter::inSection(const TagView& tag) {
    if (tag.code == kStructureCode) {
        const std::string_view word = trimBlanks(tag.value);
        if (word == "ENDSEC") {
            endSection(false, 0);
            return;
        }
        if (word == "SECTION" || word == "EOF") {
            endSection(true, tag.line);
            unread(tag);
            return;
        }
        if (!m_header) {
            flushStray();
            startRecord(word, tag.line);
            return;
        }
        flushRecord();  // a stray 0 tag in the HEADER ends the variable before it
        stray(tag);
        return;
    } else if (m_header && tag.code == kVariableCode) {
        flushStray();
        startRecord(trimBlanks(tag.value), tag.line);
        return;
    }
    if (tag.code == kCommentCode) {
        return;
    }
    if (m_haveRecord) {
        m_record.tags.push_back(tag);
    } else if (!m_header && !m_started) {
        m_head.push_back(tag);
    } else {
        stray(tag);
    }
}

void Splitter::skipping(const TagView& tag) {
    if (isStructure(tag, "ENDSEC")) {
        m_state = State::Outside;
    } else if (isStructure(tag, "SECTION") || isStructure(tag, "EOF")) {
        m_state = State::Outside;
        unread(tag);
    }
}

void Splitter::run() {
    TagView tag;
    while (!m_eof && nextTag(tag)) {
        switch (m_state) {
            case State::Outside:
                outside(tag);
                break;
            case State::InSection:
                inSection(tag);
                break;
            case State::SkipSection:
                skipping(tag);
                break;
        }
    }
    if (!m_eof && m_haveRecord) {
        // The file ends inside this record: what it holds may be cut anywhere (a value, a
        // point without its y, a name), so none of it is taken.
        m_report.add(Fix::TruncatedRecord, m_record.line,
                     "the file ends inside " + std::string(m_record.type) +
                         "; the incomplete record was dropped");
        m_haveRecord = false;
    }
    if (!m_eof && !m_head.empty()) {
        m_report.add(Fix::TruncatedRecord, m_head.front().line,
                     "the file ends inside the head of section " + m_sectionName +
                         "; the incomplete head was dropped");
        m_head.clear();
    }
    if (m_state == State::InSection) {
        endSection(true, m_reader.nextLine());
    }
    flushStray();
    if (!m_eof) {
        m_report.add(Fix::MissingEof, m_reader.nextLine(),
                     "the file ends without EOF; it may be incomplete");
    } else if (m_reader.rest().find_first_not_of(" \t\r\n") != std::string_view::npos) {
        m_report.add(Fix::DataAfterEof, m_reader.nextLine(), "data after EOF ignored");
    }
}

}  // namespace

void splitRecords(std::string_view text, RecordSink& sink, AuditReport& report) {
    Splitter(text, sink, report).run();
}

}  // namespace qv::dxf
