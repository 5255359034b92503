#include "host/ed/InputQueue.h"

#include "win32/CodePage.h"

namespace qv::host::ed {

void InputQueue::pushFront(std::string line, bool echo) {
    m_front.push_front({std::move(line), echo});
}

void InputQueue::send(const std::wstring& text, bool echo) {
    std::string bytes = wideToUtf8(text);
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) {
            end = bytes.size();
        }
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        m_held.push_back({std::move(line), echo});
        start = end + 1;
    }
}

void InputQueue::release() {
    while (!m_held.empty()) {
        m_ready.push_back(std::move(m_held.front()));
        m_held.pop_front();
    }
}

std::optional<std::string> InputQueue::peekHostLine() const {
    if (!m_front.empty()) {
        return m_front.front().text;
    }
    if (!m_ready.empty()) {
        return m_ready.front().text;
    }
    return std::nullopt;
}

std::optional<std::string> InputQueue::peekLine() {
    if (!m_front.empty()) {
        return m_front.front().text;
    }
    if (!m_ready.empty()) {
        return m_ready.front().text;
    }
    return m_source != nullptr ? m_source->peekLine() : std::nullopt;
}

std::optional<std::string> InputQueue::readLine() {
    for (std::deque<Line>* queue : {&m_front, &m_ready}) {
        if (!queue->empty()) {
            Line line = std::move(queue->front());
            queue->pop_front();
            m_lastEcho = line.echo;
            return std::move(line.text);
        }
    }
    m_lastEcho = false;
    return m_source != nullptr ? m_source->readLine() : std::nullopt;
}

void InputQueue::clear() {
    m_front.clear();
    m_ready.clear();
    m_held.clear();
    m_lastEcho = false;
}

}  // namespace qv::host::ed
