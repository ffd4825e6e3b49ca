#pragma once

// Searches over JSON text that run at memory speed, for the long Base64
// strings of a history file.
namespace JsonScan {

// The first '"' or '\\' in [p, end), or `end`: one pass where a quote search
// and an escape search would read a long run twice. With `bracket`, also sets
// `*bracket` when a '{', '}', '[' or ']' lies before the byte found.
const char *findQuoteOrBackslash(const char *p, const char *end, bool *bracket = nullptr);

} // namespace JsonScan
