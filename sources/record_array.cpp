// The view's record array: stable indexes, empty slots after removal.
#include "sources/record_array.h"

int CRecordArray::Add(std::unique_ptr<FileMediaFormat> pRecord) {
    m_records.push_back(std::move(pRecord));
    return static_cast<int>(m_records.size()) - 1;
}

void CRecordArray::CopyFrom(const CRecordArray& other) {
    if (&other == this) {
        return;
    }
    std::vector<std::unique_ptr<FileMediaFormat>> copies;
    copies.reserve(other.m_records.size());
    for (const auto& pRecord : other.m_records) {
        copies.push_back(pRecord ? std::make_unique<FileMediaFormat>(*pRecord) : nullptr);
    }
    m_records = std::move(copies);
}

FileMediaFormat* CRecordArray::At(int nIndex) {
    if (nIndex < 0 || nIndex >= Size()) {
        return nullptr;
    }
    return m_records[static_cast<std::size_t>(nIndex)].get();
}

const FileMediaFormat* CRecordArray::At(int nIndex) const {
    if (nIndex < 0 || nIndex >= Size()) {
        return nullptr;
    }
    return m_records[static_cast<std::size_t>(nIndex)].get();
}

bool CRecordArray::Remove(int nIndex) {
    if (At(nIndex) == nullptr) {
        return false;
    }
    m_records[static_cast<std::size_t>(nIndex)].reset();
    return true;
}

void CRecordArray::RemoveAll() {
    m_records.clear();
}

int CRecordArray::Count() const {
    int n = 0;
    for (const auto& pRecord : m_records) {
        n += pRecord ? 1 : 0;
    }
    return n;
}
