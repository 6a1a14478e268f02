#include "core/trade.h"

#include <gtest/gtest.h>

#include "core/economy.h"
#include "rules_fixture.h"

using core::kBuy;
using core::kSell;
using core::TakeCredit;
using core::Trade;
using rules_test::Colony;

namespace {

class Trading : public Colony {
 protected:
  void SetUp() override {
    Colony::SetUp();
    g.trade_cap = 1000;
    g.traded = 0;
    g.food_price = 110;
    g.product_price = 1000;
    g.raw_price = 200;
    g.food = 500;
    g.products = 40;
    g.raw = 70;
    g.money = 50000;
    g.income_day = g.expense_day = 0;
  }
};

class Credit : public Colony {
 protected:
  void SetUp() override {
    Colony::SetUp();
    g.attraction = 20;
    g.interest = 4;
    g.money = 0;
    g.income_day = 0;
  }
};

}  // namespace

// --- trade ----------------------------------------------------------------------------------

TEST_F(Trading, SellingPaysThePriceAndCountsTowardTheQuota) {
  Trade(g, kSell, core::kGoodsFood, 100);
  Trade(g, kSell, core::kGoodsProducts, 40);
  Trade(g, kSell, core::kGoodsRaw, 7);
  EXPECT_EQ(g.food, 400);
  EXPECT_EQ(g.products, 0);
  EXPECT_EQ(g.raw, 63);
  const int32_t proceeds = 100 * 110 + 40 * 1000 + 7 * 200;
  EXPECT_EQ(g.money, 50000 + proceeds);
  EXPECT_EQ(g.income_day, proceeds);
  EXPECT_EQ(g.traded, 147);
  EXPECT_EQ(traffic.ship_calls, 3);
  EXPECT_TRUE(host.shown.empty());
}

TEST_F(Trading, BuyingWithExactlyTheMoneyLeavesNothing) {
  g.money = 11000;
  Trade(g, kBuy, core::kGoodsFood, 100);
  EXPECT_EQ(g.money, 0);
  EXPECT_EQ(g.food, 600);
  EXPECT_EQ(g.expense_day, 11000);
  EXPECT_EQ(g.traded, 100);
  Trade(g, kBuy, core::kGoodsFood, 1);
  EXPECT_EQ(g.food, 600);
  EXPECT_EQ(g.traded, 100);
}

TEST_F(Trading, TheQuotaAllowsExactlyWhatIsLeft) {
  g.trade_cap = 25;
  g.traded = 20;
  Trade(g, kSell, core::kGoodsFood, 6);
  EXPECT_EQ(g.food, 500);
  Trade(g, kBuy, core::kGoodsFood, 6);
  EXPECT_EQ(g.food, 500);
  Trade(g, kSell, core::kGoodsFood, 5);
  EXPECT_EQ(g.food, 495);
  EXPECT_EQ(g.traded, 25);
  Trade(g, kBuy, core::kGoodsRaw, 1);
  EXPECT_EQ(g.raw, 70);
}

TEST_F(Trading, NoSaleBeyondTheStockAndNoStorageCheckOnPurchases) {
  Trade(g, kSell, core::kGoodsProducts, 41);
  EXPECT_EQ(g.products, 40);
  EXPECT_EQ(g.money, 50000);
  g.storage_cap = 0;
  Trade(g, kBuy, core::kGoodsRaw, 10);
  EXPECT_EQ(g.raw, 80);
}

TEST_F(Trading, TheShipComesEvenForRefusedAndEmptyTrades) {
  const core::Game before = g;
  Trade(g, kSell, core::kGoodsFood, 0);
  Trade(g, kBuy, core::kGoodsFood, 100000);
  Trade(g, 2, core::kGoodsFood, 1);
  Trade(g, kBuy, 0, 1);
  Trade(g, kSell, 4, 1);
  Trade(g, kSell, core::kGoodsFood, -5);
  Trade(g, kBuy, core::kGoodsFood, -5);
  EXPECT_EQ(traffic.ship_calls, 7);
  EXPECT_EQ(g.money, before.money);
  EXPECT_EQ(g.food, before.food);
  EXPECT_EQ(g.traded, before.traded);
  EXPECT_EQ(g.income_day, 0);
  EXPECT_EQ(g.expense_day, 0);
  EXPECT_TRUE(host.shown.empty());
}

TEST_F(Trading, NegativeAmountsAreRefusedEvenWhereTheSignWouldPay) {
  g.traded = 0;
  Trade(g, kBuy, core::kGoodsProducts, -10);
  Trade(g, kSell, core::kGoodsProducts, -10);
  EXPECT_EQ(g.money, 50000);
  EXPECT_EQ(g.products, 40);
  EXPECT_EQ(g.traded, 0);
}

TEST_F(Trading, APriceSumBeyond32BitsIsRefusedInsteadOfWrapping) {
  g.trade_cap = 2000000000;
  g.product_price = 100000;
  g.money = 2000000000;
  Trade(g, kBuy, core::kGoodsProducts, 50000);  // 5e9 would wrap to a small sum
  EXPECT_EQ(g.products, 40);
  EXPECT_EQ(g.money, 2000000000);
  g.products = 50000;
  Trade(g, kSell, core::kGoodsProducts, 50000);
  EXPECT_EQ(g.products, 50000);
  EXPECT_EQ(g.money, 2000000000);
}

// --- credit ---------------------------------------------------------------------------------

TEST_F(Credit, AtTheStartOfAnEasyGame) {
  g.attraction = 10;
  TakeCredit(g, 100000);
  EXPECT_EQ(g.money, 100000);
  EXPECT_EQ(g.income_day, 100000);
  EXPECT_EQ(g.credit_sum, 100000);
  EXPECT_EQ(g.debt, 104000);
  EXPECT_EQ(g.installment, 8667);
  EXPECT_TRUE(host.shown.empty());
}

TEST_F(Credit, OnlyOneCreditAtATime) {
  TakeCredit(g, 1000);
  TakeCredit(g, 1000);
  EXPECT_EQ(host.shown, (std::vector<std::pair<int, std::string>>{{core::kMsgOther, "E72E73"}}));
  EXPECT_EQ(g.money, 1000);
  EXPECT_EQ(g.debt, 1040);
}

TEST_F(Credit, TheLimitIsTenThousandPerPointOfAttraction) {
  TakeCredit(g, 200001);
  EXPECT_EQ(host.shown, (std::vector<std::pair<int, std::string>>{{core::kMsgOther, "E74E75E76: 200000."}}));
  EXPECT_EQ(g.credit_sum, 200001);  // recorded though refused
  EXPECT_EQ(g.money, 0);
  EXPECT_EQ(g.debt, 0);
  TakeCredit(g, 200000);
  EXPECT_EQ(g.money, 200000);
}

TEST_F(Credit, WithoutAttractionOnlyACreditOfZeroIsGranted) {
  g.attraction = 0;
  TakeCredit(g, 1);
  EXPECT_EQ(host.Texts(), (std::vector<std::string>{"E74E75E76: 0."}));
  TakeCredit(g, 0);
  TakeCredit(g, 0);  // debt stays 0, so another one is allowed at once
  EXPECT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(g.debt, 0);
  EXPECT_EQ(g.installment, 0);
  EXPECT_EQ(g.credit_sum, 0);
}

TEST_F(Credit, ANegativeSumIsRefusedWithoutAWord) {
  g.credit_sum = 77;
  TakeCredit(g, -50000);
  EXPECT_EQ(g.money, 0);
  EXPECT_EQ(g.debt, 0);
  EXPECT_EQ(g.credit_sum, 77);
  g.debt = 5;
  TakeCredit(g, -1);
  EXPECT_TRUE(host.shown.empty());
}

TEST_F(Credit, InterestRoundsHalfToEven) {
  g.interest = 5;
  TakeCredit(g, 10);  // 0.5 rounds to 0
  EXPECT_EQ(g.debt, 10);
  g.debt = 0;
  TakeCredit(g, 30);  // 1.5 rounds to 2
  EXPECT_EQ(g.debt, 32);
  EXPECT_EQ(g.installment, 3);
}

TEST_F(Credit, IsRepaidOnMonthEndsUntilLessThanAnInstalmentIsLeft) {
  g.level = 10;
  g.interest = 10;
  TakeCredit(g, 100000);
  ASSERT_EQ(g.debt, 110000);
  ASSERT_EQ(g.installment, 9167);
  g.money = 1000000;
  g.population = 0;
  for (int month = 1; month <= 11; ++month) {
    g.day = 30;
    const int32_t money = g.money;
    core::ProcessDay(g);
    if (month < 11) {
      EXPECT_EQ(g.debt, 110000 - month * 9167) << month;
      EXPECT_EQ(g.money, money - 9167) << month;
    }
  }
  EXPECT_EQ(g.debt, 0);
  EXPECT_EQ(g.installment, 0);
  g.attraction = 20;
  TakeCredit(g, 1000);
  EXPECT_EQ(g.debt, 1000 + g.interest * 10);
}

TEST_F(Credit, ATinyDebtIsStillPaidOff) {
  TakeCredit(g, 5);
  EXPECT_EQ(g.debt, 5);
  EXPECT_EQ(g.installment, 1);
  g.population = 0;
  for (int month = 0; month < 5; ++month) {
    g.day = 30;
    core::ProcessDay(g);
  }
  EXPECT_EQ(g.debt, 0);
  EXPECT_EQ(g.installment, 0);
}
