#include "yardstick_reader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vivezeru5::bench {
namespace {

constexpr float kMissing = -9999.0f;

struct Station {
    int id;
    float longitude, latitude, elevation;
    int levelCount;
    float* values;  // levelCount × 6
    Station* next;
};

void releaseStations(Station* head) {
    while (head != nullptr) {
        Station* next = head->next;
        std::free(head->values);
        std::free(head);
        head = next;
    }
}

}  // namespace

float* yardstickReadType5Plain(const char* path) {
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) {
        return nullptr;
    }
    char tag[12];
    char description[100];
    int dataType = 0;
    if (std::fscanf(file, "%11s %d %99s", tag, &dataType, description) != 3 || dataType != 5 ||
        (std::strcmp(tag, "diamond") != 0 && std::strcmp(tag, "March") != 0)) {
        std::fclose(file);
        return nullptr;
    }
    int date[5] = {0, 0, 0, 0, 0};
    for (int& value : date) {
        std::fscanf(file, "%d", &value);
    }
    if (date[0] < 100) {
        date[0] += 2000;
    }
    const int declared = date[4];
    if (declared < 1 || declared > 1000000) {
        std::fclose(file);
        return nullptr;
    }
    long long total = 5LL * declared + 5;
    int stationsRead = declared;
    Station* head = nullptr;
    Station* tail = nullptr;
    for (int k = 0; k < declared; ++k) {
        Station header{};
        int valueCount = 0;
        if (std::fscanf(file, "%d", &header.id) != 1 || std::fscanf(file, "%f", &header.longitude) != 1 ||
            std::fscanf(file, "%f", &header.latitude) != 1 || std::fscanf(file, "%f", &header.elevation) != 1 ||
            std::fscanf(file, "%d", &valueCount) != 1 || valueCount < 0 || valueCount > 6000000) {
            stationsRead = k;
            break;
        }
        total += valueCount;
        auto* station = static_cast<Station*>(std::malloc(sizeof(Station)));
        *station = header;
        station->levelCount = valueCount / 6;
        station->values = static_cast<float*>(std::malloc(sizeof(float) * 6 * (station->levelCount + 1)));
        for (int i = 0; i < 6 * station->levelCount; ++i) {
            station->values[i] = kMissing;
            std::fscanf(file, "%f", &station->values[i]);
        }
        (tail == nullptr ? head : tail->next) = station;
        tail = station;
    }
    std::fclose(file);
    auto* block = static_cast<float*>(std::malloc(sizeof(float) * static_cast<std::size_t>(total + 2)));
    if (block == nullptr) {
        releaseStations(head);
        return nullptr;
    }
    block[0] = static_cast<float>(total + 2);
    for (int i = 0; i < 4; ++i) {
        block[1 + i] = static_cast<float>(date[i]);
    }
    block[5] = static_cast<float>(stationsRead);
    long long at = 6;
    for (const Station* s = head; s != nullptr; s = s->next) {
        block[at++] = static_cast<float>(s->id);
        block[at++] = s->longitude;
        block[at++] = s->latitude;
        block[at++] = s->elevation;
        block[at++] = static_cast<float>(s->levelCount);
        std::memcpy(block + at, s->values, sizeof(float) * 6 * static_cast<std::size_t>(s->levelCount));
        at += 6LL * s->levelCount;
    }
    block[at++] = kMissing;
    for (; at < total + 2; ++at) {
        block[at] = kMissing;
    }
    releaseStations(head);
    return block;
}

float* yardstickReadSurface(const char* path) {
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) {
        return nullptr;
    }
    char tag[20];
    char description[100];
    int dataType = 0;
    int date[5];
    if (std::fscanf(file, "%19s %d %99s %d %d %d %d %d", tag, &dataType, description, &date[0], &date[1],
                    &date[2], &date[3], &date[4]) != 8 ||
        date[4] < 0 || date[4] > 1000000) {
        std::fclose(file);
        return nullptr;
    }
    const long long size = 5 + 26LL * date[4];
    auto* block = static_cast<float*>(std::malloc(sizeof(float) * static_cast<std::size_t>(size)));
    if (block == nullptr) {
        std::fclose(file);
        return nullptr;
    }
    for (long long i = 0; i < size; ++i) {
        block[i] = kMissing;
    }
    for (int i = 0; i < 5; ++i) {
        block[i] = static_cast<float>(date[i]);
    }
    for (int k = 0; k < date[4]; ++k) {
        float* station = block + 5 + 26LL * k;
        int converted = 0;
        while (converted < 24 && std::fscanf(file, "%f", &station[converted]) == 1) {
            ++converted;
        }
        if (converted < 24) {
            for (int i = 0; i < converted; ++i) {
                station[i] = kMissing;
            }
            if (k == 0) {
                std::free(block);
                block = nullptr;
            } else {
                block[4] = static_cast<float>(k);
            }
            break;
        }
        if (station[22] == 1.0f && station[23] == 2.0f) {
            std::fscanf(file, "%f", &station[24]);
            std::fscanf(file, "%f", &station[25]);
        }
    }
    std::fclose(file);
    return block;
}

}  // namespace vivezeru5::bench
