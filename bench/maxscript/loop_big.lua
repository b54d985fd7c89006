-- 1,000,000 integer additions on values beyond the shared small integers: each result allocates
local s = 2000000
for i = 1, 1000000 do s = s + 1 end
print(s)
