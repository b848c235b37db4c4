// The -lh5- compressor. A block is: the number of codes (16 bits); the code-length tree "pt"
// that carries the lengths of the character/length tree "c"; the lengths of "c"; the
// position tree "p"; then the codes. A literal byte is a "c" code below 256; a match is a
// "c" code 256 + length - 3 followed by the bit length of (distance - 1) as a "p" code and
// the bits below its leading one.
#include "platform/lzh.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <queue>
#include <vector>

namespace {

constexpr int windowSize = 8192;
constexpr int minMatch = 3;
constexpr int maxMatch = 256;
constexpr int charCodes = 256 + maxMatch - minMatch + 1;  // 510
constexpr int posCodes = 14;                               // bit lengths 0..13 of distance - 1
constexpr int lenCodes = 19;                               // 3 zero-run codes + lengths 1..16
constexpr int maxCodeBits = 16;
constexpr int charCountBits = 9;
constexpr int lenCountBits = 5;
constexpr int posCountBits = 4;
// The "pt" lengths carry a 2-bit run of zeros after the third entry; "p" has none.
constexpr int lenZeroRunAfter = 3;
constexpr int noZeroRun = -1;

// Trees are rebuilt per block so that they follow the text as it changes.
constexpr size_t blockCodes = 16384;

// Match search effort, about what gzip -6 spends.
constexpr int maxChain = 96;
constexpr int niceLength = 128;
constexpr int lazyLimit = 32;
// A 3-byte match this far back costs more bits than three literals.
constexpr int farForShortMatch = 4096;

class BitWriter {
public:
    explicit BitWriter(QByteArray& out) : out_(out) {}

    void put(int bits, uint32_t value)
    {
        acc_ = (acc_ << bits) | (value & ((1u << bits) - 1));
        count_ += bits;
        while (count_ >= 8) {
            count_ -= 8;
            out_.append(char(acc_ >> count_));
        }
    }
    void flush()
    {
        if (count_ > 0)
            put(8 - count_, 0);
    }

private:
    QByteArray& out_;
    uint64_t acc_ = 0;
    int count_ = 0;
};

// Canonical Huffman code: shorter codes first, equal lengths in symbol order, as LHA assigns
// them. With fewer than two symbols in use the tree is written as that single symbol and its
// codes take no bits.
struct HuffmanCode {
    std::vector<uint8_t> len;
    std::vector<uint16_t> code;
    int used = 0;
    int single = 0;

    void put(BitWriter& out, int symbol) const
    {
        if (used >= 2)
            out.put(len[symbol], code[symbol]);
    }
    int lengthsToWrite() const
    {
        int n = int(len.size());
        while (n > 0 && len[n - 1] == 0)
            --n;
        return n;
    }
};

// Depth of each leaf in an unrestricted Huffman tree over the given frequencies.
std::vector<int> huffmanDepths(const std::vector<uint32_t>& freq)
{
    const int leaves = int(freq.size());
    std::vector<int> parent(2 * leaves - 1, -1);
    using Node = std::pair<uint64_t, int>;
    std::priority_queue<Node, std::vector<Node>, std::greater<>> queue;
    for (int i = 0; i < leaves; ++i)
        queue.push({freq[i], i});
    for (int next = leaves; queue.size() > 1; ++next) {
        const Node a = queue.top();
        queue.pop();
        const Node b = queue.top();
        queue.pop();
        parent[a.second] = parent[b.second] = next;
        queue.push({a.first + b.first, next});
    }
    std::vector<int> depth(parent.size(), 0);
    for (int i = int(parent.size()) - 2; i >= 0; --i)
        depth[i] = depth[parent[i]] + 1;
    depth.resize(leaves);
    return depth;
}

// How many codes of each length, with nothing longer than maxCodeBits and the code still
// complete: leaves pushed down to the limit are paid for by splitting shallower leaves.
std::array<int, maxCodeBits + 1> limitedLengthCounts(const std::vector<int>& depth)
{
    std::array<int, maxCodeBits + 1> count{};
    for (const int d : depth)
        ++count[std::min(d, maxCodeBits)];
    uint32_t kraft = 0;
    for (int bits = 1; bits <= maxCodeBits; ++bits)
        kraft += uint32_t(count[bits]) << (maxCodeBits - bits);
    for (; kraft > (1u << maxCodeBits); --kraft) {
        --count[maxCodeBits];
        for (int bits = maxCodeBits - 1; bits > 0; --bits) {
            if (count[bits] > 0) {
                --count[bits];
                count[bits + 1] += 2;
                break;
            }
        }
    }
    return count;
}

HuffmanCode buildCode(const uint32_t* freq, int symbols)
{
    HuffmanCode code;
    code.len = lh5CodeLengths(std::vector<quint32>(freq, freq + symbols));
    code.code.assign(symbols, 0);
    for (int s = 0; s < symbols; ++s) {
        if (freq[s] > 0) {
            code.single = s;
            ++code.used;
        }
    }
    std::array<uint32_t, maxCodeBits + 1> count{};
    for (const uint8_t bits : code.len)
        ++count[bits];
    std::array<uint32_t, maxCodeBits + 2> next{};
    for (int bits = 1; bits <= maxCodeBits; ++bits)
        next[bits + 1] = (next[bits] + count[bits]) << 1;
    for (int s = 0; s < symbols; ++s) {
        if (code.len[s] > 0)
            code.code[s] = uint16_t(next[code.len[s]]++);
    }
    return code;
}

template <size_t N>
HuffmanCode buildCode(const std::array<uint32_t, N>& freq)
{
    return buildCode(freq.data(), int(N));
}

// A code length in the "pt" and "p" tables: 0..6 in three bits, longer ones as 7 followed by
// one 1-bit per step beyond 7 and a closing 0-bit.
void putBitLength(BitWriter& out, int length)
{
    if (length < 7)
        out.put(3, uint32_t(length));
    else
        out.put(length - 3, (1u << (length - 3)) - 2);
}

void putSmallTree(BitWriter& out, const HuffmanCode& code, int countBits, int zeroRunAfter)
{
    if (code.used < 2) {
        out.put(countBits, 0);
        out.put(countBits, uint32_t(code.single));
        return;
    }
    const int n = code.lengthsToWrite();
    out.put(countBits, uint32_t(n));
    for (int k = 0; k < n;) {
        putBitLength(out, code.len[k++]);
        if (k == zeroRunAfter) {
            int zeros = 0;
            while (zeros < 3 && k < n && code.len[k] == 0) {
                ++zeros;
                ++k;
            }
            out.put(2, uint32_t(zeros));
        }
    }
}

// The lengths of "c" as "pt" symbols: 0 = one zero, 1 + 4 bits = 3..18 zeros, 2 + 9 bits =
// 20 or more zeros, n + 2 = length n. `visit(symbol, extraBits, extraValue)` gets each one.
template <class Visit>
void forEachCharLengthSymbol(const HuffmanCode& c, Visit visit)
{
    const int n = c.lengthsToWrite();
    for (int k = 0; k < n;) {
        if (c.len[k] != 0) {
            visit(c.len[k++] + 2, 0, 0u);
            continue;
        }
        int run = 0;
        while (k < n && c.len[k] == 0) {
            ++run;
            ++k;
        }
        if (run <= 2) {
            for (int i = 0; i < run; ++i)
                visit(0, 0, 0u);
        } else if (run <= 18) {
            visit(1, 4, uint32_t(run - 3));
        } else if (run == 19) {
            visit(0, 0, 0u);
            visit(1, 4, 15u);
        } else {
            visit(2, 9, uint32_t(run - 20));
        }
    }
}

void putCharTree(BitWriter& out, const HuffmanCode& c)
{
    if (c.used < 2) {
        out.put(lenCountBits, 0);
        out.put(lenCountBits, 0);
        out.put(charCountBits, 0);
        out.put(charCountBits, uint32_t(c.single));
        return;
    }
    std::array<uint32_t, lenCodes> freq{};
    forEachCharLengthSymbol(c, [&](int symbol, int, uint32_t) { ++freq[symbol]; });
    const HuffmanCode pt = buildCode(freq);
    putSmallTree(out, pt, lenCountBits, lenZeroRunAfter);
    out.put(charCountBits, uint32_t(c.lengthsToWrite()));
    forEachCharLengthSymbol(c, [&](int symbol, int extraBits, uint32_t extra) {
        pt.put(out, symbol);
        if (extraBits > 0)
            out.put(extraBits, extra);
    });
}

// Number of significant bits of distance - 1 (0 for 0): the "p" symbol of a match.
int positionBits(uint32_t offset)
{
    int bits = 0;
    for (; offset != 0; offset >>= 1)
        ++bits;
    return bits;
}

struct Match {
    int length = 0;
    int distance = 0;
};

// Hash chains over 3-byte prefixes; the chain ring holds twice the window so that every
// link within reach of the current position is still intact.
class Matcher {
public:
    Matcher(const uint8_t* data, qsizetype size)
        : data_(data), size_(size), head_(1 << hashBits, -1), prev_(ringSize, -1)
    {
    }

    void insert(qsizetype pos)
    {
        if (pos + minMatch > size_)
            return;
        const uint32_t h = hashAt(pos);
        prev_[pos & (ringSize - 1)] = head_[h];
        head_[h] = pos;
    }

    Match find(qsizetype pos) const
    {
        Match best;
        const int limit = int(std::min<qsizetype>(maxMatch, size_ - pos));
        if (limit < minMatch)
            return best;
        const uint8_t* here = data_ + pos;
        int bestLength = minMatch - 1;
        int chain = maxChain;
        for (qsizetype cand = head_[hashAt(pos)]; cand >= 0 && pos - cand <= windowSize && chain-- > 0;
             cand = prev_[cand & (ringSize - 1)]) {
            const uint8_t* there = data_ + cand;
            if (there[bestLength] != here[bestLength] || there[0] != here[0])
                continue;
            int length = 0;
            while (length < limit && there[length] == here[length])
                ++length;
            const int distance = int(pos - cand);
            if (length > bestLength && (length > minMatch || distance <= farForShortMatch)) {
                bestLength = length;
                best = {length, distance};
                if (length >= limit || length >= niceLength)
                    break;
            }
        }
        return best;
    }

private:
    static constexpr int hashBits = 15;
    static constexpr qsizetype ringSize = 2 * windowSize;

    uint32_t hashAt(qsizetype pos) const
    {
        const uint32_t v = uint32_t(data_[pos]) | uint32_t(data_[pos + 1]) << 8 | uint32_t(data_[pos + 2]) << 16;
        return (v * 2654435761u) >> (32 - hashBits);
    }

    const uint8_t* data_;
    qsizetype size_;
    std::vector<qsizetype> head_;
    std::vector<qsizetype> prev_;
};

struct Token {
    uint16_t c;
    uint16_t offset;  // distance - 1, for matches
};

class Lh5Encoder {
public:
    Lh5Encoder(QByteArrayView data, QByteArray& out)
        : data_(reinterpret_cast<const uint8_t*>(data.data())), size_(data.size()), matcher_(data_, size_),
          bits_(out)
    {
        tokens_.reserve(blockCodes);
    }

    void run()
    {
        Match pending;
        bool hasPending = false;
        qsizetype pos = 0;
        while (pos < size_) {
            // One step of lazy evaluation: a match is taken only when the next position does
            // not start a longer one.
            const Match here = (!hasPending || pending.length < lazyLimit) ? matcher_.find(pos) : Match{};
            matcher_.insert(pos);
            if (hasPending) {
                if (pending.length >= minMatch && here.length <= pending.length) {
                    addMatch(pending);
                    const qsizetype end = pos - 1 + pending.length;
                    for (qsizetype p = pos + 1; p < end; ++p)
                        matcher_.insert(p);
                    pos = end;
                    hasPending = false;
                    continue;
                }
                addLiteral(data_[pos - 1]);
            }
            pending = here;
            hasPending = true;
            ++pos;
        }
        // What is left pending is the last byte alone: no match fits after it.
        if (hasPending)
            addLiteral(data_[size_ - 1]);
        flushBlock();
        bits_.flush();
    }

private:
    void addLiteral(uint8_t byte) { addToken({byte, 0}); }
    void addMatch(const Match& m)
    {
        addToken({uint16_t(256 + m.length - minMatch), uint16_t(m.distance - 1)});
    }
    void addToken(Token t)
    {
        tokens_.push_back(t);
        if (tokens_.size() == blockCodes)
            flushBlock();
    }

    void flushBlock()
    {
        if (tokens_.empty())
            return;
        std::array<uint32_t, charCodes> charFreq{};
        std::array<uint32_t, posCodes> posFreq{};
        for (const Token& t : tokens_) {
            ++charFreq[t.c];
            if (t.c >= 256)
                ++posFreq[positionBits(t.offset)];
        }
        const HuffmanCode c = buildCode(charFreq);
        const HuffmanCode p = buildCode(posFreq);
        bits_.put(16, uint32_t(tokens_.size()));
        putCharTree(bits_, c);
        putSmallTree(bits_, p, posCountBits, noZeroRun);
        for (const Token& t : tokens_)
            putToken(t, c, p);
        tokens_.clear();
    }

    void putToken(const Token& t, const HuffmanCode& c, const HuffmanCode& p)
    {
        c.put(bits_, t.c);
        if (t.c < 256)
            return;
        const int bits = positionBits(t.offset);
        p.put(bits_, bits);
        if (bits > 1)
            bits_.put(bits - 1, t.offset);
    }

    const uint8_t* data_;
    qsizetype size_;
    Matcher matcher_;
    BitWriter bits_;
    std::vector<Token> tokens_;
};

}  // namespace

std::vector<quint8> lh5CodeLengths(const std::vector<quint32>& freq)
{
    std::vector<quint8> len(freq.size(), 0);
    std::vector<int> usedSymbols;
    for (int s = 0; s < int(freq.size()); ++s) {
        if (freq[s] > 0)
            usedSymbols.push_back(s);
    }
    if (usedSymbols.size() < 2)
        return len;
    std::vector<uint32_t> usedFreq;
    for (const int s : usedSymbols)
        usedFreq.push_back(freq[s]);
    const auto count = limitedLengthCounts(huffmanDepths(usedFreq));
    // The most frequent symbols take the shortest lengths.
    std::stable_sort(usedSymbols.begin(), usedSymbols.end(), [&](int a, int b) { return freq[a] > freq[b]; });
    auto symbol = usedSymbols.begin();
    for (int bits = 1; bits <= maxCodeBits; ++bits) {
        for (int i = 0; i < count[bits]; ++i)
            len[*symbol++] = quint8(bits);
    }
    return len;
}

QByteArray lh5Compress(QByteArrayView data)
{
    QByteArray out;
    if (data.isEmpty())
        return out;
    out.reserve(data.size() / 2 + 64);
    Lh5Encoder(data, out).run();
    return out;
}
