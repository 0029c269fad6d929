#pragma once
// A .VNK file read record by record, for tools that look at each node once
// (listing, converting) and need no tree: memory stays at the size of the
// largest record, whatever the number of records.
//
// Each record arrives as LoadConfiguration would place it: records with an
// empty name are left out, a separator's name is kSeparatorName, Level is the
// depth the node gets below the top node, and `index` its absolute index in a
// tree opened from the file (top node 0).
#include <functional>
#include <string>

#include "files/vnk_file.h"

namespace varnok {

// Returns false to stop reading (the result stays ok).
using RecordVisitor = std::function<bool(const RecordView& record, int index)>;

// The same statuses and messages as LoadConfiguration; nodesAdded counts the
// records visited. Records before a damaged one have been visited already.
LoadResult StreamConfiguration(const std::string& path, const RecordVisitor& visit);

// The file at `path` as LoadConfiguration and SaveConfiguration would copy
// it (levels as depths, empty names dropped), handed to `sink` in pieces; the
// file is read twice, the first time to count. False when the input fails
// (`result` says why) or when the sink returned false (result ok).
bool ProduceNormalisedConfiguration(const std::string& path, LoadResult& result,
                                    const std::function<bool(std::string_view)>& sink);

}  // namespace varnok
