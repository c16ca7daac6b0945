// Both scans of a show's bytes, the drive-letter references and the
// network paths, over a show read piece by piece: memory stays one piece
// and the overlap a reference needs, whatever the size of the file, and
// exactly the same references and paths come out as from the whole file.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/ref_scan.h"
#include "analysis/show_verdict.h"

// read(buffer, max) puts up to max further bytes of the show into buffer
// and returns how many; 0 ends the show. onRef(std::string_view) is told
// of every reference, in show order, valid for the call only; the network
// paths go into networkPaths.
template <typename Read, typename OnRef>
void ScanInChunks(size_t chunkBytes, Read&& read, OnRef&& onRef, std::vector<std::string>& networkPaths)
{
    std::vector<char> window;  // kept bytes of the last window, then the next piece
    size_t refFrom = 0;        // where the reference scan goes on in window
    size_t netFrom = 0;        // where the network scan goes on
    CNetworkPathFinder network;
    for (bool last = false; !last;) {
        const size_t kept = window.size();
        window.resize(kept + chunkBytes);
        const size_t got = read(window.data() + kept, chunkBytes);
        window.resize(kept + got);
        last = got == 0;
        const size_t n = window.size();

        // A reference that starts a full reference's length before the end
        // is whole here: its zero, or its 1000th character, lies inside.
        const size_t cut = last ? n : std::max(refFrom, n - std::min(n, kMaxReferenceLength));
        CReferenceScanner refs(window.data() + refFrom, n - refFrom);
        std::string_view ref;
        while (refs.Next(ref) && ref.data() < window.data() + cut)
            onRef(ref);
        const size_t netDone = netFrom + network.Feed(window.data() + netFrom, n - netFrom, last, networkPaths);

        // Both go on from where they stopped; what lies before both goes.
        const size_t drop = std::min(cut, netDone);
        window.erase(window.begin(), window.begin() + static_cast<std::ptrdiff_t>(drop));
        refFrom = cut - drop;
        netFrom = netDone - drop;
    }
}
