#include "levrig/source_topology_win.h"

namespace tonvale {
namespace levrig {
namespace {

// Topologies are trees in practice; a driver that links parts into a cycle
// must not send the walk round for ever.
constexpr int kMaxDepth = 32;
constexpr int kMaxSteps = 64;

struct Candidate {
    Candidate* next = nullptr;
    ComPtr<IPart> part;
    Text name;
};

ComPtr<IPart> connectedPart(IConnector* connector) {
    ComPtr<IConnector> other;
    ComPtr<IPart> part;
    if (SUCCEEDED(connector->GetConnectedTo(other.receive())) && other)
        other->QueryInterface(__uuidof(IPart), part.receiveVoid());
    return part;
}

ComPtr<IPartsList> incomingParts(IPart* part) {
    ComPtr<IPartsList> parts;
    // E_NOTFOUND: no incoming parts.
    if (FAILED(part->EnumPartsIncoming(parts.receive())))
        parts.reset();
    return parts;
}

bool hasIncomingParts(IPart* part) {
    ComPtr<IPartsList> parts = incomingParts(part);
    UINT count = 0;
    return parts && SUCCEEDED(parts->GetCount(&count)) && count > 0;
}

bool readName(IPart* part, Text& name) {
    LPWSTR text = nullptr;
    if (FAILED(part->GetName(&text)) || !text)
        return false;
    name.assign(text);
    CoTaskMemFree(text);
    return !name.empty();
}

void walkIncoming(IPart* part, Candidate*& candidates, int depth);

// A connector is a line when it ends the walk: unconnected (or connected to
// a part with no inputs of its own) and named. Otherwise the walk goes on
// through its connection.
void examineConnector(IPart* part, Candidate*& candidates, int depth) {
    ComPtr<IConnector> connector;
    if (FAILED(part->QueryInterface(__uuidof(IConnector), connector.receiveVoid())))
        return;
    BOOL connected = FALSE;
    bool follow = FAILED(connector->IsConnected(&connected));
    ComPtr<IPart> beyond;
    if (!follow && connected) {
        beyond = connectedPart(connector.get());
        follow = beyond && hasIncomingParts(beyond.get());
    }
    Text name;
    if (!follow && !readName(part, name))
        follow = true;
    if (follow) {
        if (!beyond)
            beyond = connectedPart(connector.get());
        if (beyond)
            walkIncoming(beyond.get(), candidates, depth + 1);
        return;
    }
    Candidate* candidate = privateNew<Candidate>();
    if (!candidate)
        throw std::bad_alloc();
    part->AddRef();
    *candidate->part.receive() = part;
    candidate->name = std::move(name);
    candidate->next = candidates;
    candidates = candidate;
}

void walkIncoming(IPart* part, Candidate*& candidates, int depth) {
    if (depth > kMaxDepth)
        return;
    ComPtr<IPartsList> parts = incomingParts(part);
    UINT count = 0;
    if (!parts || FAILED(parts->GetCount(&count)))
        return;
    for (UINT i = 0; i < count; ++i) {
        ComPtr<IPart> incoming;
        PartType type = Connector;
        if (FAILED(parts->GetPart(i, incoming.receive())) || !incoming ||
            FAILED(incoming->GetPartType(&type)))
            continue;
        if (type == Subunit)
            walkIncoming(incoming.get(), candidates, depth + 1);
        else
            examineConnector(incoming.get(), candidates, depth);
    }
}

// The first control of interface T downstream of a part: follows the first
// outgoing part through subunits and connections until a subunit gives it.
template <typename T> bool findControl(IPart* start, ComPtr<T>& control, ComPtr<IPart>& owner) {
    start->AddRef();
    ComPtr<IPart> part(start);
    for (int step = 0; step < kMaxSteps && part; ++step) {
        ComPtr<IPartsList> outgoing;
        ComPtr<IPart> next;
        PartType type = Connector;
        if (FAILED(part->EnumPartsOutgoing(outgoing.receive())) || !outgoing ||
            FAILED(outgoing->GetPart(0, next.receive())) || !next ||
            FAILED(next->GetPartType(&type)))
            return false;
        if (type == Subunit) {
            if (SUCCEEDED(next->Activate(CLSCTX_ALL, __uuidof(T), control.receiveVoid())) &&
                control) {
                owner = std::move(next);
                return true;
            }
            part = std::move(next);
        } else {
            ComPtr<IConnector> connector;
            if (FAILED(next->QueryInterface(__uuidof(IConnector), connector.receiveVoid())))
                return false;
            part = connectedPart(connector.get());
        }
    }
    return false;
}

void freeCandidates(Candidate* candidates) {
    while (candidates) {
        Candidate* next = candidates->next;
        privateDelete(candidates);
        candidates = next;
    }
}

} // namespace

LineRecord* findSourceLines(IMMDevice* endpoint) {
    ComPtr<IDeviceTopology> topology;
    ComPtr<IConnector> connector;
    if (!endpoint ||
        FAILED(endpoint->Activate(__uuidof(IDeviceTopology), CLSCTX_ALL, nullptr,
                                  topology.receiveVoid())) ||
        FAILED(topology->GetConnector(0, connector.receive())) || !connector)
        return nullptr;
    ComPtr<IPart> device = connectedPart(connector.get());
    if (!device)
        return nullptr;

    Candidate* candidates = nullptr;
    LineRecord* lines = nullptr;
    try {
        walkIncoming(device.get(), candidates, 0);
        for (Candidate* candidate = candidates; candidate; candidate = candidate->next) {
            LineRecord found;
            const bool mute = findControl(candidate->part.get(), found.mute, found.mutePart);
            const bool volume = findControl(candidate->part.get(), found.volume, found.volumePart);
            if (!mute && !volume)
                continue;
            LineRecord* record = privateNew<LineRecord>(std::move(found));
            if (!record)
                throw std::bad_alloc();
            record->name = candidate->name;
            record->part = std::move(candidate->part);
            record->next = lines;
            lines = record;
        }
    } catch (...) {
        freeCandidates(candidates);
        freeSourceLines(lines);
        throw;
    }
    freeCandidates(candidates);
    return lines;
}

void freeSourceLines(LineRecord* lines) {
    while (lines) {
        LineRecord* next = lines->next;
        privateDelete(lines);
        lines = next;
    }
}

} // namespace levrig
} // namespace tonvale
