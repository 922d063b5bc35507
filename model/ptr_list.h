// A doubly linked list of pointers with stable positions: a position stays
// valid until its own element is removed, whatever else changes. The list
// never owns what its elements point to.
#pragma once

#include <cstddef>

struct PositionTag;
typedef PositionTag* POSITION;

template <typename T>
class CPtrListOf {
public:
    CPtrListOf() = default;
    ~CPtrListOf() { RemoveAll(); }
    CPtrListOf(const CPtrListOf&) = delete;
    CPtrListOf& operator=(const CPtrListOf&) = delete;

    size_t GetCount() const { return m_nCount; }
    bool IsEmpty() const { return m_nCount == 0; }

    POSITION GetHeadPosition() const { return ToPosition(m_pHead); }
    POSITION GetTailPosition() const { return ToPosition(m_pTail); }

    // The element at pos; pos moves on to the next one (none after the tail).
    T* GetNext(POSITION& pos) const
    {
        Cell* cell = FromPosition(pos);
        pos = ToPosition(cell->next);
        return cell->data;
    }
    static T* GetAt(POSITION pos) { return FromPosition(pos)->data; }

    POSITION AddTail(T* data)
    {
        Cell* cell = new Cell{nullptr, m_pTail, data};
        if (m_pTail)
            m_pTail->next = cell;
        else
            m_pHead = cell;
        m_pTail = cell;
        ++m_nCount;
        return ToPosition(cell);
    }

    void RemoveAt(POSITION pos)
    {
        Cell* cell = FromPosition(pos);
        (cell->prev ? cell->prev->next : m_pHead) = cell->next;
        (cell->next ? cell->next->prev : m_pTail) = cell->prev;
        delete cell;
        --m_nCount;
    }

    void RemoveAll()
    {
        while (m_pHead) {
            Cell* next = m_pHead->next;
            delete m_pHead;
            m_pHead = next;
        }
        m_pTail = nullptr;
        m_nCount = 0;
    }

    // The position of the first element equal to data, or none.
    POSITION Find(const T* data) const
    {
        Cell* cell = m_pHead;
        while (cell && cell->data != data)
            cell = cell->next;
        return ToPosition(cell);
    }

    // The position of the index-th element, or none.
    POSITION FindIndex(size_t index) const
    {
        Cell* cell = m_pHead;
        while (cell && index--)
            cell = cell->next;
        return ToPosition(cell);
    }

private:
    struct Cell {
        Cell* next;
        Cell* prev;
        T* data;
    };
    static POSITION ToPosition(Cell* cell) { return reinterpret_cast<POSITION>(cell); }
    static Cell* FromPosition(POSITION pos) { return reinterpret_cast<Cell*>(pos); }

    Cell* m_pHead = nullptr;
    Cell* m_pTail = nullptr;
    size_t m_nCount = 0;
};
