// Codes the benchmark programs read: a realistic one and longer ones made from it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>

namespace zendric::bench {

// About 300 characters (277) using every tag, read without a message.
inline const std::string Realistic =
    "ZN2.Dw+Hd^Mfps{Gm} Gm>f/h L3.5m2a2l4w T1.5t W+ Cbl+|re:gr,wre,bye Bfl\"blue\"|/ic# A(r+v-) "
    "M+*3 O(ra+2v--) J~ N! H- $~ Tc+[electronics] V++[healing] Q--[telepathy] F+c/v Pw'l2^t "
    "Sks,wf,bh Fr+^*\"apple\" Ac+ Df~ R* S? U2 I-# G~(fm) Cwh/bk@gr+,tgr>re O+2 J+ B- L- T~ W~ "
    "H+++ A+ Pa4!h";

// The realistic code with its items repeated until it is `size` bytes or a little more.
inline std::string RepeatTo(std::size_t size) {
  std::string code = Realistic;
  const std::string items = Realistic.substr(Realistic.find(' ') + 1);
  while (code.size() < size) code += items;
  return code;
}

// "ZN2.Dw" and then one byte again and again, to `size` bytes: every byte after the
// species an error of its own (a '{' also opens a form block, a line of the reading).
inline std::string RunOf(char byte, std::size_t size) { return "ZN2.Dw" + std::string(size - 6, byte); }

// "ZN2." and then bytes from a fixed seed, to `size` bytes: ill-formed UTF-8, line
// breaks, controls and every tag letter by chance.
inline std::string RandomBytes(std::size_t size) {
  std::mt19937 random(12);
  std::string code = "ZN2.";
  while (code.size() < size) code += static_cast<char>(random() & 0xFF);
  return code;
}

}  // namespace zendric::bench
