// The site patterns of a group: equal columns share a pattern, numbered in
// order of their first position, however the columns' hashes fall.

#include "analysis/sitepatterns.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "analysis/analysismodule.h"
#include "analysis/workerpool.h"
#include "epochsupport.h"

TEST(SitePatterns, EqualColumnsShareOnePatternInOrderOfFirstPosition) {
    AnalysisModule builder;
    SequenceData data;
    data.num_seqs = 3;
    data.seq_len = 6;
    data.names = {CharString("a"), CharString("b"), CharString("c")};
    // Columns: AAC, CCA, AAC, GGG, CCA, AAT.
    data.sequences = {"ACAGCA", "ACAGCA", "CACGAT"};
    std::vector<SeqVector*> taxa = builder.build_vectors(data);
    SitePatterns patterns;
    patterns.find(taxa.data(), 3, 6);
    ASSERT_EQ(patterns.count(), 4);
    EXPECT_EQ(std::vector<int>(patterns.pattern_of(), patterns.pattern_of() + 6),
              (std::vector<int>{0, 1, 0, 2, 1, 3}));
    for (int p = 0; p < 4; ++p) {
        EXPECT_EQ(patterns.pattern_of()[patterns.first_position(p)], p);
    }
    // The columns of a subgroup repeat more.
    patterns.find(taxa.data(), 2, 6);
    EXPECT_EQ(patterns.count(), 3);
}

TEST(SitePatterns, ColumnsWhoseHashesCollideAreStillToldApart) {
    // Few hash bits make distinct columns collide: the patterns must still
    // be the columns' own, numbered in order of their first position.
    std::mt19937 random(3);
    WorkerPool pool(4);
    struct Shape {
        int taxa;
        int length;
        int min_letters;
    };
    // Repeated columns and all distinct ones, groups with more positions
    // than columns they can make, groups around the largest whose columns
    // are keyed whole, and groups the threads share.
    const Shape shapes[] = {{2, 300, 1},  {4, 9, 1},     {7, 300, 1},   {32, 500, 2},
                            {33, 500, 2}, {40, 2003, 1}, {60, 1500, 2}, {20, 5000, 1}};
    for (const Shape& shape : shapes) {
        AnalysisModule builder;
        const std::vector<SeqVector*> taxa =
            random_taxa(builder, shape.taxa, shape.length, random, shape.min_letters);
        // The numbering by the columns themselves.
        std::map<std::string, int> pattern_of_column;
        std::vector<int> expected;
        for (int i = 0; i < shape.length; ++i) {
            std::string column;
            for (const SeqVector* taxon : taxa) column += taxon->letters[i];
            const int next = static_cast<int>(pattern_of_column.size());
            expected.push_back(pattern_of_column.emplace(column, next).first->second);
        }
        for (const int hash_bits : {64, 3, 1}) {
            for (WorkerPool* threads : {static_cast<WorkerPool*>(nullptr), &pool}) {
                SCOPED_TRACE(std::to_string(shape.taxa) + " x " + std::to_string(shape.length) +
                             ", " + std::to_string(hash_bits) + " bits" +
                             (threads ? ", threads" : ""));
                SitePatterns patterns(hash_bits);
                patterns.find(taxa.data(), shape.taxa, shape.length, threads);
                EXPECT_EQ(patterns.count(), static_cast<int>(pattern_of_column.size()));
                EXPECT_EQ(
                    std::vector<int>(patterns.pattern_of(), patterns.pattern_of() + shape.length),
                    expected);
            }
        }
    }
}

TEST(SitePatterns, ColumnsThatDifferInOneTaxonOnlyAreToldApart) {
    // The first taxon alone tells the columns apart, the last alone, or one
    // in the middle, in groups around the largest keyed whole.
    for (const int n : {2, 31, 32, 33, 40}) {
        for (const int odd : {0, n / 2, n - 1}) {
            SCOPED_TRACE(std::to_string(n) + " taxa, taxon " + std::to_string(odd));
            AnalysisModule builder;
            SequenceData data;
            data.num_seqs = n;
            data.seq_len = 8;
            for (int t = 0; t < n; ++t) {
                data.names.emplace_back(("t" + std::to_string(t)).c_str());
                data.sequences.push_back(t == odd ? "ACGTTGCA" : "AAAAAAAA");
            }
            const std::vector<SeqVector*> taxa = builder.build_vectors(data);
            SitePatterns patterns;
            patterns.find(taxa.data(), n, 8);
            EXPECT_EQ(std::vector<int>(patterns.pattern_of(), patterns.pattern_of() + 8),
                      (std::vector<int>{0, 1, 2, 3, 3, 2, 1, 0}));
        }
    }
}
