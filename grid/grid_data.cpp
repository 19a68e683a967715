#include "grid/grid_data.h"

#include <new>
#include <stdexcept>

namespace qmx {

HRESULT GridData::SetColCount(LONG count)
{
    if (count < 0) return E_INVALIDARG;
    const auto newCount = static_cast<std::size_t>(count);
    const std::size_t oldCount = widths_.size();
    try {
        std::vector<LONG> widths = widths_;
        widths.resize(newCount, kDefaultColumnWidth);
        std::vector<BSTR> headers = headers_;
        headers.resize(newCount);
        std::size_t done = 0;
        try {
            for (; done < rows_.size(); ++done) rows_[done].resize(newCount);
        } catch (...) {
            // Shrinking back frees and never throws.
            for (std::size_t r = 0; r < done; ++r) rows_[r].resize(oldCount);
            throw;
        }
        widths_.swap(widths);
        headers_.swap(headers);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::length_error&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT GridData::SetHeader(LONG col, const BSTR& text)
{
    try {
        headers_[col] = text;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT GridData::SetText(LONG row, LONG col, const BSTR& text)
{
    try {
        rows_[row][col].text = text;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT GridData::InsertRow(LONG row)
{
    try {
        rows_.insert(rows_.begin() + row, Row(widths_.size()));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::length_error&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

void GridData::DeleteRow(LONG row) { rows_.erase(rows_.begin() + row); }

void GridData::DeleteAllRows() { rows_.clear(); }

}  // namespace qmx
