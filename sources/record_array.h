#pragma once
// The view's array of source records. A record keeps its index for its whole life; removing one
// leaves an empty slot, so indexes are never reused until RemoveAll.
#include <cstddef>
#include <memory>
#include <vector>

#include "sources/source_record.h"

class CRecordArray {
public:
    CRecordArray() = default;
    CRecordArray(const CRecordArray&) = delete;
    CRecordArray& operator=(const CRecordArray&) = delete;
    CRecordArray(CRecordArray&&) = default;
    CRecordArray& operator=(CRecordArray&&) = default;

    // Appends the record at the end and returns its index; a null record appends an empty slot.
    int Add(std::unique_ptr<FileMediaFormat> pRecord);
    // Replaces the contents with full copies of the other array's records, slot for slot (empty
    // slots stay empty), so every record keeps its index; used when the view is rebuilt.
    void CopyFrom(const CRecordArray& other);
    // The record at the index, or null for an empty slot or an index out of range.
    FileMediaFormat* At(int nIndex);
    const FileMediaFormat* At(int nIndex) const;
    // Deletes the record and leaves an empty slot; false when there was none.
    bool Remove(int nIndex);
    // Deletes every record and empties the array; indexes start again at 0.
    void RemoveAll();
    // Number of slots, empty ones included (the next index Add returns).
    int Size() const { return static_cast<int>(m_records.size()); }
    // Number of records held.
    int Count() const;

private:
    std::vector<std::unique_ptr<FileMediaFormat>> m_records;
};
